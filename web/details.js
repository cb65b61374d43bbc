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

    // table.details brings the words; onChange() follows a change of the target.
    function create(section, toggle, table, onChange) {
        var isOpen = false;
        var printing = false;
        var body = el("div");
        var planBox = el("div", { class: "plan", role: "status", "aria-live": "polite" });
        var texts = table.details;
        var t = texts.target;
        var weeks = t.initial_weeks;
        var shown = null;
        var shownRefusal = "";
        toggle.textContent = texts.title;

        toggle.addEventListener("click", function () {
            isOpen = !isOpen;
            toggle.setAttribute("aria-expanded", String(isOpen));
            section.hidden = !isOpen;
            onChange();
        });

        // "Keep [26] weeks on the [SD Card]": the target's controls, the
        // weeks typed as every count is.
        var box = el("fieldset", { class: "target" });
        box.appendChild(el("legend", {}, t.title));
        var line = el("div", { class: "target-line" });
        var weeksInput = CapacimoForm.countField({ min: t.min_weeks, max: t.max_weeks }, "target-weeks",
                                                 function (range, value) { weeks = value; onChange(); }, weeks);
        var mediumSelect = el("select", { id: "target-medium" });
        t.media.forEach(function (m) { mediumSelect.appendChild(el("option", { value: m.id }, m.caption)); });
        line.appendChild(el("label", { for: "target-weeks" }, t.keep));
        line.appendChild(weeksInput);
        line.appendChild(el("label", { for: "target-medium" }, t.weeks + " " + t.on_the));
        line.appendChild(mediumSelect);
        box.appendChild(line);
        box.appendChild(planBox);
        section.appendChild(el("h2", {}, texts.title));
        section.appendChild(body);
        section.appendChild(box);
        mediumSelect.addEventListener("change", onChange);
        // The chart is drawn for its width: drawn again when that changes.
        window.addEventListener("resize", function () { if (shown) show(shown, shownRefusal); });

        // Lays out the core's words, or empties the section when there are
        // none (the answer is not current). A target the core refused costs
        // the plan alone: its reason stands in the plan's place.
        function show(words, targetRefused) {
            shown = words;
            shownRefusal = targetRefused;
            if (!isOpen && !printing) return;
            body.textContent = "";
            planBox.textContent = "";
            if (targetRefused) planBox.appendChild(el("p", { class: "refused" }, targetRefused));
            if (!words) return;
            var b = words.breakdown;
            var w = words.without;
            body.appendChild(el("h3", {}, b.heading));
            body.appendChild(chart(b.rows.filter(function (r) { return r.bytes > 0; }), b.heading,
                                   printing ? 1000 : Math.round(section.clientWidth) || 640, printing));
            var rows = b.rows.map(function (r) {
                return [r.name, r.cycle || "", r.records === undefined ? "" : String(r.records), r.bytes_text, r.share];
            });
            var wrows = w.rows.map(function (r) { return [r.name, r.internal, r.sd]; });
            if (printing) {
                // On paper one table, as the printed report has it: each
                // writer's durations without it beside its bytes.
                rows.forEach(function (row, i) {
                    var durations = wrows[i + 1] || ["", "", ""];
                    row.push(durations[1], durations[2]);
                });
                body.appendChild(tableOf(b.columns.concat(w.columns.slice(1)), rows,
                                         [false, false, true, true, true, true, true]));
            } else {
                body.appendChild(tableOf(b.columns, rows, [false, false, true, true, true]));
                body.appendChild(el("h3", {}, w.heading));
                if (wrows.length) body.appendChild(tableOf(w.columns, wrows, [false, true, true]));
            }
            if (words.plan) {
                planBox.appendChild(el("p", {}, words.plan.heading));
                var list = el("dl");
                words.plan.answers.forEach(function (a) {
                    list.appendChild(el("dt", {}, a.question));
                    list.appendChild(el("dd", {}, a.answer));
                });
                planBox.appendChild(list);
                if (words.plan.note) planBox.appendChild(el("p", {}, words.plan.note));
            }
        }

        return {
            open: function () { return isOpen || printing; },
            // The target as the options take it, while Details are open.
            target: function () {
                return isOpen || printing ? { retention: weeks + "w", medium: mediumSelect.value } : null;
            },
            show: show,
            // A plant recorder's own target in the fields; with open, the
            // Details opened to say what reaches it.
            setTarget: function (target, open) {
                weeks = target.weeks;
                weeksInput.value = String(weeks);
                mediumSelect.value = target.medium;
                // Closed, the Details ask nothing of the core: the calculation
                // the loaded setup started stands.
                if (open && !isOpen) {
                    toggle.click();
                } else if (isOpen) {
                    onChange();
                }
            },
            forPrint: function (on) { printing = on; section.classList.toggle("printing", on); }
        };
    }

    return { create: create, chart: chart };
})();
