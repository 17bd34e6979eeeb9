#pragma once
#include "platform/upward.h"
