#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

#include "mainwindow/form1layout.h"

namespace kivaro::skinlayout {

// The main window's layout is the pictures' layout: the background is shown from the window's
// top-left corner and every element's picture is drawn to fit the element exactly.
using namespace form1layout;

constexpr QSize Splash(500, 300);
constexpr QSize Cursor(32, 32);
constexpr QPoint CursorHotSpot(5, 0);

// The search button is round and centred in its element; everything that changes with its look
// or with progress stays inside MaxSearchRadius, so the element's outer pixels always equal the
// background around it.
constexpr QPointF SearchCentre(SearchButton.x() + SearchButton.width() / 2.0,
                               SearchButton.y() + SearchButton.height() / 2.0);
constexpr double SearchFaceRadius = 23.5;
constexpr double SearchGlowRadius = 26.5;
constexpr double RingInnerRadius = 27.5;
constexpr double RingOuterRadius = 32.0;

// Title-bar buttons draw a plate inset from the element's edges: neighbouring elements share a
// column (the menu and minimise buttons overlap at x = 269), which must look the same in every look.
constexpr int PlateInset = 3;

} // namespace kivaro::skinlayout
