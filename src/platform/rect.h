#pragma once

namespace kivaro {

// A rectangle the way the drawn controls reason about it: left and top are inside, right and bottom
// are the first column and row outside. A rectangle whose right is not beyond its left (or whose
// bottom is not below its top) holds no pixels.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static constexpr Rect fromSize(int x, int y, int width, int height)
    {
        return { x, y, x + width, y + height };
    }

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    constexpr Rect translated(int dx, int dy) const
    {
        return { left + dx, top + dy, right + dx, bottom + dy };
    }
    constexpr Rect adjusted(int dl, int dt, int dr, int db) const
    {
        return { left + dl, top + dt, right + dr, bottom + db };
    }
    constexpr Rect intersected(const Rect &other) const
    {
        return { left > other.left ? left : other.left, top > other.top ? top : other.top,
                 right < other.right ? right : other.right, bottom < other.bottom ? bottom : other.bottom };
    }

    friend constexpr bool operator==(const Rect &, const Rect &) = default;
};

} // namespace kivaro
