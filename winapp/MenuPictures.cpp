#include "winapp/MenuPictures.h"

#include "form/FormDesign.h"

#include <cstdint>

namespace kronax::win32 {
namespace {

// The pictures are drawn on a 16-pixel grid, as the other front end's are.
constexpr int Grid = 16;
// Pixels left in this colour stay transparent.
constexpr COLORREF Key = RGB(0xff, 0x00, 0xfe);

class Pen {
public:
    Pen(HDC dc, COLORREF line, COLORREF fill, int width = 1)
        : dc_(dc), pen_(CreatePen(PS_SOLID, width, line)), brush_(CreateSolidBrush(fill)),
          oldPen_(SelectObject(dc, pen_)), oldBrush_(SelectObject(dc, brush_)) {}
    ~Pen() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        DeleteObject(brush_);
    }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_;
    HGDIOBJ oldBrush_;
};

void Polygon(HDC dc, std::initializer_list<POINT> points) {
    ::Polygon(dc, points.begin(), static_cast<int>(points.size()));
}

void Folder(HDC dc) {
    Pen pen(dc, RGB(140, 100, 0), RGB(250, 205, 70));
    Polygon(dc, {{1, 4}, {6, 4}, {7, 6}, {14, 6}, {14, 14}, {1, 14}});
}

void Floppy(HDC dc) {
    {
        Pen pen(dc, RGB(20, 40, 110), RGB(50, 90, 190));
        Rectangle(dc, 1, 1, 15, 15);
    }
    {
        Pen pen(dc, RGB(20, 40, 110), RGB(255, 255, 255));
        Rectangle(dc, 4, 1, 12, 7);
    }
    Pen pen(dc, RGB(20, 40, 110), RGB(200, 200, 200));
    Rectangle(dc, 4, 9, 12, 15);
}

void Board(HDC dc) {
    {
        Pen pen(dc, RGB(20, 60, 20), RGB(40, 130, 60));
        Rectangle(dc, 1, 8, 16, 16);
    }
    Pen pen(dc, RGB(0, 0, 0), RGB(0, 0, 0));
    Rectangle(dc, 5, 10, 11, 14);
}

void Arrow(HDC dc, bool up, COLORREF colour) {
    Pen pen(dc, colour, colour);
    if (up)
        Polygon(dc, {{8, 0}, {13, 5}, {10, 5}, {10, 8}, {6, 8}, {6, 5}, {3, 5}});
    else
        Polygon(dc, {{6, 0}, {10, 0}, {10, 3}, {13, 3}, {8, 8}, {3, 3}, {6, 3}});
}

void Power(HDC dc) {
    const HPEN pen = CreatePen(PS_SOLID, 2, RGB(200, 30, 30));
    const HGDIOBJ old = SelectObject(dc, pen);
    Arc(dc, 2, 3, 14, 15, 5, 3, 11, 3);
    MoveToEx(dc, 8, 1, nullptr);
    LineTo(dc, 8, 8);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Badge(HDC dc, const wchar_t* sign) {
    {
        Pen pen(dc, RGB(20, 40, 140), RGB(60, 110, 220));
        Ellipse(dc, 1, 1, 15, 15);
    }
    const HFONT font = CreateFontW(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, L"Microsoft Sans Serif");
    const HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT area{1, 1, 15, 15};
    DrawTextW(dc, sign, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

bool Draw(HDC dc, int index) {
    switch (index) {
    case image::OpenFile:
        Folder(dc);
        return true;
    case image::SaveFile:
        Floppy(dc);
        return true;
    case image::ReadFromBoard:
        Board(dc);
        Arrow(dc, false, RGB(20, 150, 20));
        return true;
    case image::WriteToBoard:
        Board(dc);
        Arrow(dc, true, RGB(210, 40, 20));
        return true;
    case image::PowerOnDefault:
        Power(dc);
        return true;
    case image::BoardInformation:
        Badge(dc, L"i");
        return true;
    case image::About:
        Badge(dc, L"?");
        return true;
    default:
        return false;
    }
}

} // namespace

HBITMAP DrawMenuPicture(int index, int size) {
    if (size <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture == nullptr) {
        DeleteDC(dc);
        return nullptr;
    }
    const HGDIOBJ old = SelectObject(dc, picture);
    const HBRUSH key = CreateSolidBrush(Key);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, key);
    DeleteObject(key);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, Grid, Grid, nullptr);
    SetViewportExtEx(dc, size, size, nullptr);
    const bool drawn = Draw(dc, index);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    if (!drawn) {
        DeleteObject(picture);
        return nullptr;
    }
    // GDI leaves alpha alone: every pixel not in the key colour is made opaque.
    auto* pixel = static_cast<std::uint32_t*>(bits);
    const std::uint32_t keyPixel = 0x00ff00fe;
    for (int i = 0; i < size * size; ++i)
        pixel[i] = (pixel[i] & 0x00ffffff) == keyPixel ? 0 : (pixel[i] | 0xff000000);
    return picture;
}

} // namespace kronax::win32
