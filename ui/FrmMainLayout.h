#pragma once

#include <string_view>

#include "platform/ports/MainWindow.h"

namespace ww::ui {

// The About page's own texts and addresses.
inline constexpr std::string_view kWebsiteAddress = "http://www.example.org/wakewatch/";
inline constexpr std::string_view kAuthorEmail = "wakewatch@example.org";
inline constexpr std::string_view kGreeting = "Hello Tibbets!";
// The release date as the version record carries it, blanks and all.
inline constexpr std::string_view kBuildDate = "27 January 2006  ";

// Twips between a sentence and the link label that follows it on its line.
inline constexpr int kLinkGap = 60;

// The main window as laid out: frame, pages, every control with its caption,
// place and behaviour, fonts, icons and the hand pointer. Every view (Qt,
// Win32) builds the window from this one description.
const platform::MainWindowLayout& FrmMainLayout();

// The 32 × 32 pointing hand shown over the links; its hot spot is the tip of
// the index finger.
const platform::IconImage& HandPointerImage();
inline constexpr int kHandHotSpotX = 13;
inline constexpr int kHandHotSpotY = 5;

}  // namespace ww::ui
