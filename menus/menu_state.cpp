// Definitions of the menu library's process-wide state. The registries are
// constant-initialised, so they exist before any start-up code runs.
#include "menu_state.h"

PtrArray g_windows;
PtrArray g_openMenus;
PtrArray g_toolbars;
PtrArray g_iconResources;
PtrArray g_iconHandles;
PtrArray g_commandImages;
PtrArray g_captions;
PtrArray g_subMenuButtons;

HIMAGELIST g_imageList = nullptr;
int g_imageWidth = 0;
int g_imageHeight = 0;

COLORREF g_menuColor = 0;
COLORREF g_menuTextColor = 0;
COLORREF g_hotColor = 0;
COLORREF g_highlightColor = 0;
COLORREF g_shadowColor = 0;
COLORREF g_captionColor = 0;
COLORREF g_captionGradientColor = 0;
COLORREF g_captionTextColor = 0;
HFONT g_menuFont = nullptr;
HFONT g_menuBoldFont = nullptr;
HFONT g_captionFont = nullptr;
int g_captionButtonHeight = 0;
int g_menuBarHeight = 0;
int g_menuCheckWidth = 0;
HRGN g_emptyRegion = nullptr;
HBRUSH g_halftoneBrush = nullptr;
GradientFillFunction g_gradientFill = nullptr;
int g_lookMode = 0;
