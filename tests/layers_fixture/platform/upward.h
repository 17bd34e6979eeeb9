#pragma once
#include "run/session.h" // a lower layer reaching up
