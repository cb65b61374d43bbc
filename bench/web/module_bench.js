// The web module's calculation under Node: the heaviest setup (the module's
// heaviest(), every writer busy), from the form's values to the result's
// JSON text, as the page asks for it on a keystroke (with Details open,
// with their words); and the module's share of the Plant
// view's figures: a plant of 1,000 recorders read from its file, sorted, one
// recorder edited, the plant written as its file.
// Usage: node bench/web/module_bench.js build-web/web/capacimo_core.js
"use strict";

const path = require("node:path");

function median(samples) {
    const sorted = samples.slice().sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

require(path.resolve(process.argv[2]))().then((core) => {
    const values = core.heaviest();
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
    plantFigures(core);
});

// Each of 1,000 recorders a setup and a start of its own.
function plantText(n) {
    const rows = ["name,start,analog,digital-events,analysis1,group1.cycle,group1.values"];
    const cycles = ["100ms", "1s", "10s", "1min"];
    for (let i = 0; i < n; ++i) {
        const day = `2026-${String(1 + (i % 12)).padStart(2, "0")}-${String(1 + (i % 28)).padStart(2, "0")}`;
        rows.push(`Recorder ${i + 1},${day},${i % 41},${i % 15},${i % 3 ? "1min" : "no"},${cycles[i % 4]},${i % 9}`);
    }
    return rows.join("\n") + "\n";
}

function plantFigures(core) {
    const text = plantText(1000);
    core.plantToday("2026-03-14");
    const timed = (repeat, fn) => {
        const samples = [];
        for (let i = 0; i < repeat; ++i) {
            const start = process.hrtime.bigint();
            fn(i);
            samples.push(Number(process.hrtime.bigint() - start) / 1e6);
        }
        return median(samples).toFixed(2);
    };
    const load = timed(5, () => core.plantLoad(text, "7"));
    const columns = ["name", "internal", "read_out_by", "state"];
    const sort = timed(20, (i) => core.plantSort(columns[i % 4], "ascending"));
    const edit = timed(20, (i) => core.plantEdit(500, JSON.stringify({ start: `2026-03-1${i % 10}` })));
    const csv = timed(5, () => core.plantCsv());
    console.log(`plant of 1000 recorders: read from its file ${load} ms, sorted ${sort} ms, one recorder edited ` +
                `${edit} ms, written as its file ${csv} ms (medians)`);
}
