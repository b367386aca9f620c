#include "link/ComCtrl.h"

ComCtrl::~ComCtrl() = default;
