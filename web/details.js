// The Details section: where the bytes of two hours go (an SVG bar chart and
// its table), both durations without each writer, and what keeps the data
// for a retention target. The core calculates them and words them (the
// "words" of its answer); this file lays them out.
"use strict";

var CapacimoDetails = (function () {
    var SVG = "http://www.w3.org/2000/svg";
    var el = function (tag, attributes, text) { return CapacimoForm.element(tag, attributes, text); };

    function svg(tag, attributes, text) {
        var node = document.createElementNS(SVG, tag);
        Object.keys(attributes).forEach(function (name) { node.setAttribute(name, attributes[name]); });
        if (text !== undefined) node.textContent = text;
        return node;
    }

    function tableOf(columns, rows, numeric) {
        var table = el("table", { class: "grid" });
        var head = table.createTHead().insertRow();
        columns.forEach(function (caption) { head.appendChild(el("th", { scope: "col" }, caption)); });
        var body = table.createTBody();
        rows.forEach(function (cells) {
            var tr = body.insertRow();
            cells.forEach(function (text, i) {
                var cell = el(i === 0 ? "th" : "td", i === 0 ? { scope: "row" } : {}, text);
                if (i > 0 && numeric[i]) cell.className = "number";
                tr.appendChild(cell);
            });
        });
        return table;
    }

    // One bar per row, as long as its share of the largest. On screen the
    // chart is drawn for the width it gets, one unit a CSS pixel, so that its
    // words keep their size: the name on the left and the bytes and share at
    // the bar's end, or on a narrow screen both above the bar. On paper it
    // is drawn wide and low, to be scaled down to the page. The table below
    // holds the same figures for readers that do not see the chart.
    function chart(bars, label, width, paper) {
        var narrow = width < 520;
        var rowHeight = narrow ? 38 : paper ? 17 : 22;
        var nameWidth = narrow ? 0 : 170;
        var room = width - nameWidth - (narrow ? 0 : 150);
        var largest = Math.max.apply(null, bars.map(function (b) { return Math.abs(b.bytes); }).concat([1]));
        var picture = svg("svg", {
            viewBox: "0 0 " + width + " " + (bars.length * rowHeight + 4),
            role: "img",
            "aria-label": label,
            class: "chart"
        });
        bars.forEach(function (bar, i) {
            var y = i * rowHeight + 2;
            var length = Math.max(1, room * Math.abs(bar.bytes) / largest);
            picture.appendChild(svg("text", { x: 0, y: y + 14, class: "chart-name" }, bar.name));
            picture.appendChild(svg("rect", {
                x: nameWidth, y: y + (narrow ? 21 : 3), width: length, height: paper ? 11 : 14,
                class: "chart-bar" + (bar.kind === "group" || bar.kind === "analysis" ? "" : " chart-overhead")
            }));
            picture.appendChild(svg("text", {
                x: narrow ? width : nameWidth + length + 6, y: y + 14, class: "chart-value",
                "text-anchor": narrow ? "end" : "start"
            }, bar.bytes_text + " \u00b7 " + bar.share));
        });
        return picture;
    }

    // "Keep [26] weeks on the [SD Card]": the target's controls, the weeks
    // typed as every count is.
    function targetBox(d) {
        var t = d.texts.target;
        var box = el("fieldset", { class: "target" });
        box.appendChild(el("legend", {}, t.title));
        var line = el("div", { class: "target-line" });
        d.weeksInput = CapacimoForm.countField({ min: t.min_weeks, max: t.max_weeks }, "target-weeks",
                                               function (range, value) { d.weeks = value; d.onChange(); }, d.weeks);
        d.mediumSelect = el("select", { id: "target-medium" });
        t.media.forEach(function (m) { d.mediumSelect.appendChild(el("option", { value: m.id }, m.caption)); });
        line.appendChild(el("label", { for: "target-weeks" }, t.keep));
        line.appendChild(d.weeksInput);
        line.appendChild(el("label", { for: "target-medium" }, t.weeks + " " + t.on_the));
        line.appendChild(d.mediumSelect);
        box.appendChild(line);
        box.appendChild(d.planBox);
        d.mediumSelect.addEventListener("change", d.onChange);
        return box;
    }

    // Where the bytes go, and each writer's durations without it: on paper
    // one table, as the printed report has it.
    function breakdownTables(d, words) {
        var b = words.breakdown;
        var w = words.without;
        d.body.appendChild(el("h3", {}, b.heading));
        d.body.appendChild(chart(b.rows.filter(function (r) { return r.bytes > 0; }), b.heading,
                                 d.printing ? 1000 : Math.round(d.section.clientWidth) || 640, d.printing));
        // With a share in alarm, each writer's cycle and bytes in alarm follow.
        var alarms = b.columns.length > 5;
        var rows = b.rows.map(function (r) {
            var row = [r.name, r.cycle || "", r.records === undefined ? "" : String(r.records), r.bytes_text, r.share];
            return alarms ? row.concat([r.alarm_cycle || "", r.alarm_bytes_text || ""]) : row;
        });
        var numeric = [false, false, true, true, true].concat(alarms ? [false, true] : []);
        var wrows = w.rows.map(function (r) { return [r.name, r.internal, r.sd]; });
        if (d.printing) {
            rows.forEach(function (row, i) {
                var durations = wrows[i + 1] || ["", "", ""];
                row.push(durations[1], durations[2]);
            });
            d.body.appendChild(tableOf(b.columns.concat(w.columns.slice(1)), rows, numeric.concat([true, true])));
        } else {
            d.body.appendChild(tableOf(b.columns, rows, numeric));
            d.body.appendChild(el("h3", {}, w.heading));
            if (wrows.length) d.body.appendChild(tableOf(w.columns, wrows, [false, true, true]));
        }
    }

    function showPlan(box, plan) {
        box.appendChild(el("p", {}, plan.heading));
        var list = el("dl");
        plan.answers.forEach(function (a) {
            list.appendChild(el("dt", {}, a.question));
            list.appendChild(el("dd", {}, a.answer));
        });
        box.appendChild(list);
        if (plan.note) box.appendChild(el("p", {}, plan.note));
    }

    // Lays out the core's words, or empties the section when there are none
    // (the answer is not current). A target the core refused costs the plan
    // alone: its reason stands in the plan's place.
    function show(d, words, targetRefused) {
        d.shown = words;
        d.shownRefusal = targetRefused;
        if (!d.isOpen && !d.printing) return;
        d.body.textContent = "";
        d.planBox.textContent = "";
        if (targetRefused) d.planBox.appendChild(el("p", { class: "refused" }, targetRefused));
        if (!words) return;
        breakdownTables(d, words);
        if (words.plan) showPlan(d.planBox, words.plan);
    }

    // A plant recorder's own target in the fields; with open, the Details
    // opened to say what reaches it. Closed, the Details ask nothing of the
    // core: the calculation the loaded setup started stands.
    function setTarget(d, target, open) {
        d.weeks = target.weeks;
        d.weeksInput.value = String(d.weeks);
        d.mediumSelect.value = target.medium;
        if (open && !d.isOpen) {
            d.toggle.click();
        } else if (d.isOpen) {
            d.onChange();
        }
    }

    // table.details brings the words; onChange() follows a change of the target.
    function create(section, toggle, table, onChange) {
        var d = {
            section: section, toggle: toggle, onChange: onChange, texts: table.details,
            isOpen: false, printing: false, weeks: table.details.target.initial_weeks, shown: null, shownRefusal: "",
            body: el("div"), planBox: el("div", { class: "plan", role: "status", "aria-live": "polite" })
        };
        toggle.textContent = d.texts.title;
        toggle.addEventListener("click", function () {
            d.isOpen = !d.isOpen;
            toggle.setAttribute("aria-expanded", String(d.isOpen));
            section.hidden = !d.isOpen;
            onChange();
        });
        var box = targetBox(d);
        section.appendChild(el("h2", {}, d.texts.title));
        section.appendChild(d.body);
        section.appendChild(box);
        // The chart is drawn for its width: drawn again when that changes.
        window.addEventListener("resize", function () { if (d.shown) show(d, d.shown, d.shownRefusal); });
        return {
            open: function () { return d.isOpen || d.printing; },
            // The target as the options take it, while Details are open.
            target: function () {
                return d.isOpen || d.printing ? { retention: d.weeks + "w", medium: d.mediumSelect.value } : null;
            },
            show: function (words, targetRefused) { show(d, words, targetRefused); },
            setTarget: function (target, open) { setTarget(d, target, open); },
            forPrint: function (on) { d.printing = on; section.classList.toggle("printing", on); }
        };
    }

    return { create: create, chart: chart };
})();
