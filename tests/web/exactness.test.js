// The web module and the native capacimo-calc give the same JSON text for the
// same setup: random setups with the breakdown and a retention target, and the
// setups at the edges of the recorder's limits.
// Environment: CAPACIMO_CORE (the module's path), CAPACIMO_CALC (the native program).
"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { execFile } = require("node:child_process");
const { promisify } = require("node:util");

const run = promisify(execFile);
const calc = process.env.CAPACIMO_CALC;
const RANDOM_SETUPS = 1000;

let core;
let table;

test.before(async () => {
    core = await require(process.env.CAPACIMO_CORE)();
    table = JSON.parse(core.entries());
});

// A small seeded generator, so that a failure can be run again.
function generator(seed) {
    let s = seed >>> 0;
    return (n) => {
        s = (s + 0x6d2b79f5) >>> 0;
        let t = Math.imul(s ^ (s >>> 15), 1 | s);
        t ^= t + Math.imul(t ^ (t >>> 7), 61 | t);
        return (((t ^ (t >>> 14)) >>> 0) % n);
    };
}

// The command line for a set of values, written from the entry table: each
// entry's option with its item text or number; group entries through --group.
function commandLine(values) {
    const args = [];
    const groups = {};
    table.entries.forEach((entry, i) => {
        const text = entry.items ? entry.items[values[i]] : String(values[i]);
        if (entry.group === null) args.push("--" + entry.option, text);
        else (groups[entry.group] = groups[entry.group] || []).push(entry.option + "=" + text);
    });
    Object.keys(groups).forEach((g) => args.push("--group", g + ":" + groups[g].join(",")));
    return args;
}

// The module's answer, also with its words: the same result text, the words
// its last member.
async function compare(values, target) {
    const options = { breakdown: true, target: target.retention, medium: target.medium };
    const args = commandLine(values).concat(["--breakdown", "--target", target.retention,
                                             "--medium", target.medium, "--json"]);
    const native = (await run(calc, args, { env: { ...process.env, ASAN_OPTIONS: "detect_leaks=0" } })).stdout;
    const setup = core.setupText(JSON.stringify(values), "");
    assert.equal(core.calculate(setup, JSON.stringify(options)), native, "capacimo-calc " + args.join(" "));
    const withWords = core.calculate(setup, JSON.stringify({ ...options, words: true }));
    assert.equal(withWords.slice(0, native.length - 2) + "}\n", native);
    assert.ok(withWords.slice(native.length - 2).startsWith(',"words":{'), withWords);
}

function valuesWhere(choose) {
    return table.entries.map((entry, i) => choose(entry, i));
}

// Runs the comparisons two at a time: the native program is a process each.
async function inPairs(cases) {
    for (let i = 0; i < cases.length; i += 2) await Promise.all(cases.slice(i, i + 2).map((c) => compare(c[0], c[1])));
}

test("random setups give the native program's JSON", async () => {
    const random = generator(20261208);
    const media = ["internal", "sd"];
    const cases = [];
    for (let n = 0; n < RANDOM_SETUPS; ++n) {
        // Half of them keep every count within the recorder's sums, the others
        // roam the whole range of each field (and so raise the count errors).
        const tight = n % 2 === 0;
        const values = valuesWhere((entry) => random((tight && !entry.items ? Math.min(entry.max, 3) : entry.max) + 1));
        cases.push([values, { retention: random(60) + "w", medium: media[random(2)] }]);
    }
    await inPairs(cases);
});

test("setups at the limits give the native program's JSON", async () => {
    const target = { retention: "4w", medium: "sd" };
    const itemOf = (entry, text) => entry.items.indexOf(text);
    const fastest = valuesWhere((entry) => entry.items ? (entry.option === "cycle" ? Math.min(1, entry.max)
                                                                                   : entry.max) : entry.max);
    const everyOneSecond = valuesWhere((entry) => entry.option === "cycle" ? itemOf(entry, "1s") : entry.max);
    const allOff = valuesWhere((entry) => entry.option === "cycle" ? itemOf(entry, "Off") : entry.default);
    const noChannel = valuesWhere((entry) => entry.items ? entry.default : 0);
    const tooManyTotalizers = valuesWhere((entry) => entry.option === "analog-totalized" ? 5 : entry.default);
    await inPairs([[fastest, target], [everyOneSecond, target], [allOff, target], [noChannel, target],
                   [tooManyTotalizers, { retention: "0h", medium: "internal" }]]);
});

test("each answer brings its own words, whatever was asked before", () => {
    const options = JSON.stringify({ breakdown: true, target: "4w", medium: "sd", words: true });
    const answer = (values) => core.calculateValues(JSON.stringify(values), options);
    const few = valuesWhere((entry) => entry.default);
    const many = valuesWhere((entry) => entry.option === "analog" || (entry.option === "values" && entry.group === 1)
        ? 8 : entry.default);
    const first = answer(few);
    const second = answer(many);
    assert.notDeepEqual(JSON.parse(first).words, JSON.parse(second).words);
    assert.equal(answer(few), first);
    // The words say the durations of their own result.
    for (const text of [first, second]) {
        const reply = JSON.parse(text);
        const asEntered = reply.words.without.rows[0];
        const said = (r) => `${r.weeks} w ${r.days} d ${r.hours} h`;
        assert.deepEqual([asEntered.internal, asEntered.sd], reply.results.map(said));
    }
});
