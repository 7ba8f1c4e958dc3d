#pragma once

// Plain geometry values in the desktop's global coordinates: points, origin at the
// bottom left of the primary screen, y growing upwards (the top of a rectangle is maxY).

struct Size
{
    double width = 0;
    double height = 0;

    bool operator==(const Size &) const = default;
};

struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double midX() const { return x + width / 2; }
    double maxX() const { return x + width; }
    double minY() const { return y; }
    double midY() const { return y + height / 2; }
    double maxY() const { return y + height; }

    // Inclusive: a rectangle lying exactly on this one's boundary is contained.
    bool contains(const Rect &other) const
    {
        return other.minX() >= minX() && other.maxX() <= maxX()
            && other.minY() >= minY() && other.maxY() <= maxY();
    }

    bool operator==(const Rect &) const = default;
};
