// Compiled at once, the module's factory hands back the module itself with a
// "ready" promise; callers get that promise, as they would from a module
// compiled in the background.
var createCapacimoCore = (function (factory) {
    return function (options) {
        return factory(options).ready;
    };
})(createCapacimoCore);
if (typeof module === "object" && module.exports) module.exports = createCapacimoCore;
