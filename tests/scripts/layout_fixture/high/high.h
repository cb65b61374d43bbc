#pragma once

#include <QString>

#include "low/low.h"

QString high();
