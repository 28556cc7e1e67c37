#pragma once
// Drawing contexts: a memory context draws into the image selected into it;
// the screen context only answers questions about the display.

#include "Bitmap.h"
#include "Brush.h"
#include "Pen.h"

class Font;
using HFONT = Font*;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD PATCOPY = 0x00F00021;

constexpr int BLACKONWHITE = 1;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

class DeviceContext {
public:
    explicit DeviceContext(bool screen) : m_screen(screen) {}
    bool isScreen() const { return m_screen; }

    Bitmap* bitmap = nullptr;
    Brush* brush = nullptr;
    Pen* pen = nullptr;
    Font* font = nullptr;
    COLORREF textColour = 0;
    COLORREF backgroundColour = RGB(255, 255, 255);
    int backgroundMode = OPAQUE;
    UINT textAlign = 0;
    int stretchMode = BLACKONWHITE;

private:
    bool m_screen;
};

using HDC = DeviceContext*;

// The screen's context; cheap to get and release.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
int GetDeviceCaps(HDC dc, int index);

// Each returns the object of the same kind that was selected before.
HBITMAP SelectObject(HDC dc, HBITMAP image);
HBRUSH SelectObject(HDC dc, HBRUSH brush);
HPEN SelectObject(HDC dc, HPEN pen);
HFONT SelectObject(HDC dc, HFONT font);

// Takes the depth of the context's image, or the display's.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

// Exact pixel copies; only the part inside both images is copied.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// COLORONCOLOR: each result pixel is one source pixel. HALFTONE: the average
// of the source area behind it, or a smooth interpolation when enlarging.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw,
                int sh, DWORD rop);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Fills left..right-1, top..bottom-1; pattern brushes tile from (0, 0).
int FillRect(HDC dc, const CRect* rect, HBRUSH brush);
// Fills with the selected brush.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Outline with the selected pen (centred on the edge) and inside with the
// selected brush; the null pen and the hollow brush draw nothing.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);

COLORREF GetPixel(HDC dc, int x, int y);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour);

COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
