#pragma once
// The drawing numbers metafile records carry, by the names the formats give them: pen and brush
// styles, stock objects, mix and raster operations, mapping modes, region modes, text
// alignment and the DIB header forms.
#include <QtGlobal>

// Pen styles (the low four bits of a pen's style), end caps and joins (geometric pens only).
constexpr quint32 PS_SOLID = 0;
constexpr quint32 PS_DASH = 1;
constexpr quint32 PS_DOT = 2;
constexpr quint32 PS_DASHDOT = 3;
constexpr quint32 PS_DASHDOTDOT = 4;
constexpr quint32 PS_NULL = 5;
constexpr quint32 PS_USERSTYLE = 7;
constexpr quint32 PS_ALTERNATE = 8;
constexpr quint32 PS_STYLE_MASK = 0x000F;
constexpr quint32 PS_ENDCAP_ROUND = 0x0000;
constexpr quint32 PS_ENDCAP_SQUARE = 0x0100;
constexpr quint32 PS_ENDCAP_MASK = 0x0F00;
constexpr quint32 PS_JOIN_ROUND = 0x0000;
constexpr quint32 PS_JOIN_BEVEL = 0x1000;
constexpr quint32 PS_JOIN_MASK = 0xF000;
constexpr quint32 PS_GEOMETRIC = 0x00010000;

// Brush styles, and the number of hatch patterns (HS_HORIZONTAL to HS_DIAGCROSS).
constexpr quint32 BS_SOLID = 0;
constexpr quint32 BS_NULL = 1;
constexpr quint32 BS_HATCHED = 2;
constexpr quint32 BS_PATTERN = 3;
constexpr quint32 BS_DIBPATTERN = 5;
constexpr quint32 BS_DIBPATTERNPT = 6;
constexpr quint32 HatchStyleCount = 6;

// Stock objects, selected by an index with the high bit set (enhanced metafiles).
constexpr quint32 STOCK_OBJECT = 0x80000000u;
constexpr quint32 WHITE_BRUSH = 0;
constexpr quint32 BLACK_BRUSH = 4;
constexpr quint32 NULL_BRUSH = 5;
constexpr quint32 WHITE_PEN = 6;
constexpr quint32 BLACK_PEN = 7;
constexpr quint32 NULL_PEN = 8;
constexpr quint32 OEM_FIXED_FONT = 10;
constexpr quint32 DEFAULT_PALETTE = 15;
constexpr quint32 DEFAULT_GUI_FONT = 17;
constexpr quint32 DC_BRUSH = 18;
constexpr quint32 DC_PEN = 19;

// Mix modes of pens and brushes (SetROP2).
constexpr int R2_BLACK = 1;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOP = 11;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Raster operations of the block transfers.
constexpr quint32 BLACKNESS = 0x00000042;
constexpr quint32 NOTSRCCOPY = 0x00330008;
constexpr quint32 DSTINVERT = 0x00550009;
constexpr quint32 PATINVERT = 0x005A0049;
constexpr quint32 SRCINVERT = 0x00660046;
constexpr quint32 SRCAND = 0x008800C6;
constexpr quint32 DSTCOPY = 0x00AA0029; // the destination itself: nothing is drawn
constexpr quint32 SRCCOPY = 0x00CC0020;
constexpr quint32 SRCPAINT = 0x00EE0086;
constexpr quint32 WHITENESS = 0x00FF0062;

// Background modes, polygon fill modes and arc directions.
constexpr int OPAQUE = 2;
constexpr int WINDING = 2;
constexpr int AD_CLOCKWISE = 2;

// How a transform record combines with the world transform.
constexpr quint32 MWT_IDENTITY = 1;
constexpr quint32 MWT_LEFTMULTIPLY = 2;
constexpr quint32 MWT_RIGHTMULTIPLY = 3;
constexpr quint32 MWT_SET = 4;

// Mapping modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

// How a region combines with the clipping region.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Text alignment (horizontal and vertical fields) and the options of ExtTextOut.
constexpr quint32 TA_RIGHT = 2;
constexpr quint32 TA_CENTER = 6;
constexpr quint32 TA_HORIZONTAL_MASK = 6;
constexpr quint32 TA_BOTTOM = 8;
constexpr quint32 TA_BASELINE = 24;
constexpr quint32 TA_VERTICAL_MASK = 24;
constexpr quint32 ETO_OPAQUE = 0x2;
constexpr quint32 ETO_CLIPPED = 0x4;

// DIB headers: the OS/2 core header and the Windows info header, and their compressions.
constexpr quint32 BitmapCoreHeaderSize = 12;
constexpr quint32 BitmapInfoHeaderSize = 40;
constexpr quint32 BI_RGB = 0;
constexpr quint32 BI_BITFIELDS = 3;
constexpr quint32 BI_ALPHABITFIELDS = 6;
