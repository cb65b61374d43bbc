// The Details section: where the bytes of two hours go (an SVG bar chart and
// its table), both durations without each writer, and what keeps the data
// for a retention target. The core calculates them and words them
// (core.words()); this file lays them out.
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

    // One bar per row, as long as its share of the largest; the name on the
    // left, the bytes and share at the bar's end. The table beside it holds
    // the same figures for readers that do not see the chart.
    function chart(bars, label) {
        var rowHeight = 22;
        var width = 640;
        var nameWidth = 170;
        var largest = Math.max.apply(null, bars.map(function (b) { return Math.abs(b.bytes); }).concat([1]));
        var picture = svg("svg", {
            viewBox: "0 0 " + width + " " + (bars.length * rowHeight + 4),
            role: "img",
            "aria-label": label,
            class: "chart"
        });
        bars.forEach(function (bar, i) {
            var y = i * rowHeight + 2;
            var length = Math.max(1, (width - nameWidth - 150) * Math.abs(bar.bytes) / largest);
            picture.appendChild(svg("text", { x: 0, y: y + 15, class: "chart-name" }, bar.name));
            picture.appendChild(svg("rect", {
                x: nameWidth, y: y + 3, width: length, height: rowHeight - 8,
                class: "chart-bar" + (bar.kind === "group" || bar.kind === "analysis" ? "" : " chart-overhead")
            }));
            picture.appendChild(svg("text", { x: nameWidth + length + 6, y: y + 15, class: "chart-value" },
                                    bar.bytes_text + " \u00b7 " + bar.share));
        });
        return picture;
    }

    function create(section, toggle, core, table, recalculate) {
        var isOpen = false;
        var printing = false;
        var body = el("div");
        var planBox = el("div", { class: "plan", role: "status", "aria-live": "polite" });
        var weeksInput;
        var mediumSelect;
        var texts = table.details;
        toggle.textContent = texts.title;

        toggle.addEventListener("click", function () {
            isOpen = !isOpen;
            toggle.setAttribute("aria-expanded", String(isOpen));
            section.hidden = !isOpen;
            recalculate();
        });

        // "Keep [26] weeks on the [SD Card]": the target's controls.
        (function buildTarget(t) {
            var box = el("fieldset", { class: "target" });
            box.appendChild(el("legend", {}, t.title));
            var line = el("div", { class: "target-line" });
            weeksInput = el("input", {
                id: "target-weeks", type: "number", min: "0", max: "999999", step: "1", value: String(t.initial_weeks)
            });
            mediumSelect = el("select", { id: "target-medium" });
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
            weeksInput.addEventListener("input", recalculate);
            mediumSelect.addEventListener("change", recalculate);
        })(texts.target);

        function show() {
            if (!isOpen && !printing) return;
            var words = JSON.parse(core.words());
            body.textContent = "";
            var b = words.breakdown;
            body.appendChild(el("h3", {}, b.heading));
            body.appendChild(chart(b.rows.filter(function (r) { return r.bytes > 0; }), b.heading));
            body.appendChild(tableOf(b.columns, b.rows.map(function (r) {
                return [r.name, r.cycle || "", r.records === undefined ? "" : String(r.records), r.bytes_text, r.share];
            }), [false, false, true, true, true]));
            var w = words.without;
            body.appendChild(el("h3", {}, w.heading));
            if (w.rows.length) {
                body.appendChild(tableOf(w.columns, w.rows.map(function (r) { return [r.name, r.internal, r.sd]; }),
                                         [false, true, true]));
            }
            planBox.textContent = "";
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
                if (!(isOpen || printing) || !weeksInput || weeksInput.value === "") return null;
                var weeks = Math.floor(Number(weeksInput.value));
                if (!(weeks >= 0)) return null;
                return { retention: weeks + "w", medium: mediumSelect.value };
            },
            show: show,
            forPrint: function (on) { printing = on; section.classList.toggle("printing", on); }
        };
    }

    return { create: create };
})();
