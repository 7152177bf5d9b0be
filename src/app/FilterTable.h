#pragma once

#include <array>
#include <string_view>

/// One entry of the filter box: the caption shown and the ";"-separated wildcard
/// patterns it stands for.
struct FilterEntry {
    std::string_view caption;
    std::string_view pattern;
};

/// The entries of the filter box, in the order shown. Entry 0 is "all supported
/// formats"; its pattern is kept exactly as users of earlier versions know it (it
/// lists *.iff and *.jif but, of the TIFF extensions, only *.tiff).
inline constexpr std::array<FilterEntry, 29> FilterTable{{
    {"All Supported Formats",
     "*.bmp;*.cur;*.dib;*.dds;*.emf;*.gif;*.ico;*.iff;*.jif;*.jng;*.jpg;*.koala;*.lbm;*.mng;"
     "*.pbm;*.pcd;*.pcx;*.pgm;*.png;*.ppm;*.psd;*.ras;*.rle;*.tga;*.tiff;*.wbmp;*.wmf;*.xbm;"
     "*.xpm"},
    {"Windows or OS2 BMP(*.bmp)", "*.bmp"},
    {"Cursors(*.cur)", "*.cur"},
    {"Windows DIB(*.dib)", "*.dib"},
    {"Microsoft DirectDraw Surface(*.dds)", "*.dds"},
    {"Windows Enhanced Metafile(*.emf)", "*.emf"},
    {"Compuserve GIF(*.gif)", "*.gif"},
    {"Icon Files(*.ico)", "*.ico"},
    {"JPEG Network Graphics(*.jng)", "*.jng"},
    {"JPEG - JFIF Compliant(*.jpg,*.jpeg,*.jif,*.jfif)", "*.jpg;*.jpeg;*.jif;*.jfif"},
    {"KOALA Files(*.koala,*.gg)", "*.koala;*.gg"},
    {"Deluxe Paint(*.lbm)", "*.lbm"},
    {"Multiple Network Graphics(*.mng)", "*.mng"},
    {"Portable Bitmap(*.pbm)", "*.pbm"},
    {"Kodak PhotoCD(*.pcd)", "*.pcd"},
    {"Zsoft Paintbrush(*.pcx)", "*.pcx"},
    {"Portable Greymap(*.pgm)", "*.pgm"},
    {"Portable Network Graphics(*.png)", "*.png"},
    {"Portable Pixmap(*.ppm)", "*.ppm"},
    {"Adobe Photoshop Document(*.psd)", "*.psd"},
    {"Sun Raster File(*.ras)", "*.ras"},
    {"Run-Length encoded Bitmap(*.rle)", "*.rle"},
    {"Truevision Targa(*.tga)", "*.tga"},
    {"Tagged Image File Format(*.tif,*.tiff)", "*.tif;*.tiff"},
    {"Wireless Bitmap(*.wbmp)", "*.wbmp"},
    {"Windows Meta File(*.wmf)", "*.wmf"},
    {"X11 Bitmap Format(*.xbm)", "*.xbm"},
    {"X PIxMap Format definition(*.xpm)", "*.xpm"},
    {"All Files(*.*)", "*.*"},
}};

/// The pattern of entry 0, which the main window starts with.
inline constexpr std::string_view AllFormatsPattern = FilterTable[0].pattern;
