// The page's own files spell no fact of the core: no caption, list item,
// title, file extension, model name or limit that the entry table (entries())
// brings, so that each is said once, in the core.
// Environment: CAPACIMO_CORE (the module's path), PAGE_SOURCES (web/).
"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const fs = require("node:fs");
const path = require("node:path");

test("the page's scripts and HTML hold no text or limit of the core", async () => {
    const core = await require(process.env.CAPACIMO_CORE)();
    const facts = new Set([JSON.parse(core.setupText(core.defaults(), "")).model]);
    (function collect(value) {
        if (value && typeof value === "object") Object.values(value).forEach(collect);
        else facts.add(String(value));
    })(JSON.parse(core.entries()));
    // Texts, not the keys and ids the page looks things up by; numbers too
    // large to be a layout's.
    const texts = [...facts].filter((f) => f.length >= 4 && /[A-Z .]/.test(f));
    const numbers = [...facts].filter((f) => /^\d{3,}$/.test(f));
    for (const file of ["index.html", "page.js", "form.js", "details.js", "plant.js", "plant_store.js",
                        "plant_table.js", "plant_paper.js"]) {
        const code = fs.readFileSync(path.join(process.env.PAGE_SOURCES, file), "utf8")
            .replace(/^\s*\/\/.*$/gm, "").replace(/<!--[\s\S]*?-->/g, "");
        const literals = [...code.matchAll(/"((?:[^"\\\n]|\\.)*)"|'((?:[^'\\\n]|\\.)*)'|>([^<>]+)</g)]
            .map((m) => m[1] ?? m[2] ?? m[3]);
        // A text as a whole, not as a part of a name such as fileName.
        const spells = (l, t) => new RegExp((/^\w/.test(t) ? "(?<![A-Za-z0-9])" : "") +
            t.replace(/[.*+?^${}()|[\]\\]/g, "\\$&") + (/\w$/.test(t) ? "(?![A-Za-z0-9])" : "")).test(l);
        const spelled = literals.flatMap((l) => texts.filter((t) => spells(l, t)))
            .concat([...code.matchAll(/\b\d{3,}\b/g)].map((m) => m[0]).filter((n) => numbers.includes(n)));
        assert.deepEqual(spelled, [], file);
    }
});

test("the style sheet gives the plant's states no colour of its own", async () => {
    const core = await require(process.env.CAPACIMO_CORE)();
    const states = JSON.parse(core.entries()).plant.states;
    const css = fs.readFileSync(path.join(process.env.PAGE_SOURCES, "style.css"), "utf8");
    assert.ok(states.length > 0 && states.every((s) => /^#[0-9a-f]{6}$/.test(s.colour)));
    for (const state of states) {
        // Its colours are the core's, which the page sets: the sheet only refers to them.
        for (const m of css.matchAll(new RegExp("--" + state.id + "(-light|-dark)?\\s*:\\s*([^;]+);", "g"))) {
            assert.match(m[2], /^var\(--/, state.id + ": " + m[0]);
        }
    }
});
