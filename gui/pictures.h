// The program's pictures, drawn anew for it (scripts/draw_pictures.py writes gui/art/*.xpm):
// the six images of toolbar 128 and icon 128 (the application).
#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>

// Size of one toolbar image (toolbar 128 uses 16 by 15).
constexpr int kToolImageWidth = 16;
constexpr int kToolImageHeight = 15;

// The toolbar image of command `command` (32780, 32772, 32773, 57604, 57607, 57664); an empty
// bitmap for any other command.
wxBitmap LoadToolBitmap(int command);

// Icon 128 in its two sizes (16 and 32 pixels).
wxIconBundle LoadAppIcons();

class wxImageList;
// Bitmap 150 as a new image list of four 16 by 16 pictures with transparent ground (the caller
// owns it): 0 the first row of a group, 1 a middle row, 2 the last row, 3 empty; then the first
// three again with a padlock, for rows in a protected folder (kLockedImages on).
wxImageList* LoadGroupImages();
constexpr int kLockedImages = 4;
