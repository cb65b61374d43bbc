// The plant on paper: its table with ISO days and "page i of n", and, when
// asked, each recorder's page as the command line's and the desktop's plant
// report has it: the setup, both durations, its days and state, and where
// the bytes go. Printing while the Plant view is shown prints the plant,
// however the printing was started.
"use strict";

var CapacimoPlantPaper = (function () {
    var el = function (id) { return document.getElementById(id); };
    var make = function (tag, attributes, text) { return CapacimoForm.element(tag, attributes, text); };

    // Each page's caption by its id, inner pages too ("group3": "Group 3").
    function pageCaptions(table) {
        var captions = {};
        (function collect(pages) {
            pages.forEach(function (page) {
                captions[page.id] = page.caption;
                if (page.pages) collect(page.pages);
            });
        })(table.pages);
        return captions;
    }

    function grid(columns, rows, className) {
        var table = make("table", { class: className || "grid" });
        if (columns) {
            var head = table.createTHead().insertRow();
            columns.forEach(function (caption) { head.appendChild(make("th", { scope: "col" }, caption)); });
        }
        var body = table.createTBody();
        rows.forEach(function (cells) {
            var tr = body.insertRow();
            cells.forEach(function (text) { tr.insertCell().textContent = text; });
        });
        return table;
    }

    // The days beside the durations: the start, the days each medium is
    // full and the day to read it out by where there are some, the state.
    function daysTable(p, row) {
        var rows = [[p.words.start, row.start_refused ? "" : row.start]];
        p.words.columns.forEach(function (column, i) {
            if (i >= 4 && i <= 6 && row.cells[i]) rows.push([column.caption, row.cells[i]]);
        });
        var table = grid(null, rows);
        var state = table.tBodies[0].insertRow();
        state.insertCell().textContent = p.words.columns[7].caption;
        state.insertCell().appendChild(make("span", { class: "state state-" + row.state }, row.cells[7]));
        return table;
    }

    // One recorder's page: its name, durations, days, chart and entries.
    function recorderPage(p, index, captions) {
        var recorder = p.page.ask("plantRecorder", index);
        var result = p.page.ask("calculateValues", JSON.stringify(recorder.values),
                                JSON.stringify({ breakdown: true, words: true }));
        var section = make("section", { class: "plant-page" });
        section.appendChild(make("h2", {}, recorder.name));
        var top = section.appendChild(make("div", { class: "plant-page-top" }));
        top.appendChild(grid(p.table.result_columns, result.results.map(function (r) {
            return [r.medium, String(r.weeks), String(r.days), String(r.hours)];
        })));
        top.appendChild(daysTable(p, p.view.rowOf(index)));
        var b = result.words.breakdown;
        section.appendChild(make("h3", {}, b.heading));
        section.appendChild(CapacimoDetails.chart(b.rows.filter(function (r) { return r.bytes > 0; }), b.heading,
                                                  1000, true));
        // The entries in columns, so that the page holds them all.
        var entries = section.appendChild(make("div", { class: "plant-entries" }));
        p.table.entries.forEach(function (entry, i) {
            var line = entries.appendChild(make("p"));
            line.appendChild(make("span", {}, (entry.group ? captions[entry.page] + ": " : "") + entry.caption));
            line.appendChild(document.createTextNode(" "));
            line.appendChild(make("b", {}, entry.items ? entry.items[recorder.values[i]] : String(recorder.values[i])));
        });
        return section;
    }

    function buildPages(p) {
        var host = el("plant-pages");
        host.textContent = "";
        if (!el("plant-print-pages").checked) return;
        var captions = pageCaptions(p.table);
        p.view.order_().forEach(function (index) { host.appendChild(recorderPage(p, index, captions)); });
    }

    // The plant laid out for paper: all its rows, and the pages when asked.
    function prepare(p) {
        if (document.body.classList.contains("printing-plant")) return;
        buildPages(p);
        p.view.all(true);
        document.body.classList.add("printing-plant");
    }

    function wire(p) {
        el("plant-print").addEventListener("click", function () {
            prepare(p);
            window.print();
        });
        // Ctrl+P, or the header's Print, while the Plant view is shown.
        window.addEventListener("beforeprint", function () { if (!el("plant-view").hidden) prepare(p); });
        window.addEventListener("afterprint", function () {
            if (!document.body.classList.contains("printing-plant")) return;
            document.body.classList.remove("printing-plant");
            el("plant-pages").textContent = "";
            p.view.all(false);
        });
    }

    return { wire: wire };
})();
