// The web module's calculation under Node: the heaviest setup (40 analog and
// 14 digital channels, group 1 at 100 ms and groups 2-10 at 1 s with eight
// values each, Analysis 1 every minute, Analyses 2-4 daily), from the form's
// values to the result's JSON text, as the page asks for it on a keystroke
// (with Details open, with their words).
// Usage: node bench/web/module_bench.js build-web/web/capacimo_core.js
"use strict";

const path = require("node:path");

function median(samples) {
    const sorted = samples.slice().sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

require(path.resolve(process.argv[2]))().then((core) => {
    const table = JSON.parse(core.entries());
    const heaviest = table.entries.map((entry) => {
        if (entry.option === "cycle") return entry.group === 1 ? entry.items.indexOf("100ms") : entry.items.indexOf("1s");
        if (entry.option === "analysis1") return entry.items.indexOf("1min");
        if (entry.items) return entry.option === "card" ? 0 : entry.items.indexOf("daily analysis");
        if (["analog", "digital-events", "values"].includes(entry.option)) return entry.max;
        return 0;
    });
    const values = JSON.stringify(heaviest);
    const cases = {
        "calculation, heaviest setup": "{}",
        "with breakdown, a 4-week target on the SD card and the words": JSON.stringify({
            breakdown: true, target: "4w", medium: "sd", words: true }),
    };
    for (const [name, options] of Object.entries(cases)) {
        const rounds = options === "{}" ? 2000 : 20;
        for (let i = 0; i < rounds / 10; ++i) core.calculateValues(values, options); // warm up
        const samples = [];
        for (let repeat = 0; repeat < 10; ++repeat) {
            const start = process.hrtime.bigint();
            for (let i = 0; i < rounds; ++i) core.calculateValues(values, options);
            samples.push(Number(process.hrtime.bigint() - start) / rounds / 1000);
        }
        console.log(`${name}: median ${median(samples).toFixed(1)} us per call (10 repetitions of ${rounds})`);
    }
});
