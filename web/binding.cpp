// The core's functions for the page (web/web_api.h), under the names the
// page's scripts call.
#include <emscripten/bind.h>

#include "web/web_api.h"

EMSCRIPTEN_BINDINGS(capacimo) {
    using namespace capacimo::web;
    emscripten::function("entries", &entries);
    emscripten::function("defaults", &defaults);
    emscripten::function("readableColour", &readableColour);
    emscripten::function("heaviest", &heaviest);
    emscripten::function("adjust", &adjust);
    emscripten::function("fromStore", &fromStore);
    emscripten::function("calculate", &calculate);
    emscripten::function("calculateValues", &calculateValues);
    emscripten::function("setupText", &setupText);
    emscripten::function("readSetup", &readSetup);
    emscripten::function("plantToday", &plantToday);
    emscripten::function("plantView", &plantView);
    emscripten::function("plantAdd", &plantAdd);
    emscripten::function("plantEdit", &plantEdit);
    emscripten::function("plantRecorder", &plantRecorder);
    emscripten::function("plantDuplicate", &plantDuplicate);
    emscripten::function("plantRemove", &plantRemove);
    emscripten::function("plantRestore", &plantRestore);
    emscripten::function("plantMargin", &plantMargin);
    emscripten::function("plantSort", &plantSort);
    emscripten::function("plantLoad", &plantLoad);
    emscripten::function("plantLoadRows", &plantLoadRows);
    emscripten::function("plantRowText", &plantRowText);
    emscripten::function("plantSetRow", &plantSetRow);
    emscripten::function("plantCsv", &plantCsv);
    emscripten::function("plantCalendarText", &plantCalendarText);
}
