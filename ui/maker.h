// SPDX-License-Identifier: GPL-3.0-or-later
// Who makes Korvex and where to reach them: the texts of the help and About windows and the
// targets of the About window's links. Every address is under the reserved ".example" domain.
#pragma once

#include <QStringView>

namespace korvex {

inline constexpr QStringView MakerCredit = u"Korvex, par l'équipe Korvex - 2026";
inline constexpr QStringView MakerEmail = u"contact@korvex.example";
inline constexpr QStringView MakerWebSite = u"https://korvex.example/";
// The second address of the help window's contact frame.
inline constexpr QStringView MakerDownloadSite = u"https://telecharger.korvex.example/";
inline constexpr QStringView MakerDonationPage = u"https://korvex.example/don";

} // namespace korvex
