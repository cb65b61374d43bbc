#pragma once

inline int unlisted() { return 2; }
