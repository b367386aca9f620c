#include "link/SearchWindow.h"

SearchWindow::~SearchWindow() = default;
