// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings for the whole run: conversion rate, VAT rate and result format.
#pragma once

#include <cstdint>
#include <string>

namespace korvex {

// One instance lives in the window's Module1 from start to exit. A ConversionRate of 0 means "not
// loaded": the next load step reads the settings file again.
struct Settings
{
    double ConversionRate = 0; // francs per euro
    double VatRate = 0; // in percent: 19.6 means 19.6 %
    std::int16_t ResultFormat = 0; // 2, 3 or 4 decimals with grouping; any other value unformatted
    std::string SettingsDirectory; // the program's directory, ending with "/"
    // What the settings dialog puts back on cancel; kept here because they outlive the dialog.
    double SavedConversionRate = 0;
    double SavedVatRate = 0;
    std::int16_t SavedResultFormat = 0;
};

} // namespace korvex
