#pragma once

#include "clprotocol/ClProtocolApi.h"

// The text of a result code: the Camera Link serial API's, the CLProtocol standard's and this
// library's own; nullptr for a code none of them has.
const char *ErrorText(CLINT32 code);
