#pragma once
#include "shell/wait_cursor.h"
