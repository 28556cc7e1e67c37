#pragma once
// Everything of the drawing layer in one include.

#include "Bitmap.h"
#include "Brush.h"
#include "CBitmap.h"
#include "DeviceContext.h"
#include "Dib.h"
#include "Font.h"
#include "GlobalMemory.h"
#include "Pen.h"
#include "Screen.h"
#include "Text.h"
#include "Types.h"
