// Fonts for the programs' own windows: the system's message font, and a
// face that really has the glyphs of the texts shown in it.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <string>
#include <string_view>

namespace flicko {

// SPI_GETNONCLIENTMETRICS without the padded-border field, which older
// systems refuse.
NONCLIENTMETRICSW NonClientMetrics();

// Width and height in pixels of one line of text in the font.
SIZE TextExtent(const LOGFONTW& font, std::u16string_view text);

// The average character width the dialog manager derives from a font (its
// horizontal base unit is a quarter of it).
int DialogAverageCharWidth(const LOGFONTW& font);

// Keeps font's face when it has a glyph for every character of text;
// otherwise takes the first installed face of the Japanese character set
// that has them all, and keeps font as it is when none does. Wine's Tahoma
// and Liberation Sans have no kana and link to no font that has them, and
// the first Japanese face may have no Latin letters at all (Droid Sans
// Fallback): a face is taken only for what it really shows.
void UseFaceThatShows(LOGFONTW& font, std::u16string_view text);

// The font for a window that shows texts in the ANSI code page: the message
// font in the given pixel height, with a face that shows the code page's own
// script when that is Japanese (code page 932).
LOGFONTW AnsiTextFont(int pixelHeight);

}  // namespace flicko
