// The plant on paper: its table and, when asked, each recorder's page with
// its setup, as the Plant view's "Print plant" gives them.
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

    // One recorder's page: its name, its row's days and its entries.
    function recorderPage(p, index, captions) {
        var recorder = p.page.ask("plantRecorder", index);
        var row = p.view.rowOf(index);
        var section = make("section", { class: "plant-page" });
        section.appendChild(make("h2", {}, recorder.name));
        var summary = section.appendChild(make("table", { class: "grid" }));
        var head = summary.createTHead().insertRow();
        var cells = summary.createTBody().insertRow();
        p.words.columns.forEach(function (column, i) {
            if (i === 0) return;
            if (i === 4) {
                head.appendChild(make("th", { scope: "col" }, p.words.start));
                cells.insertCell().textContent = row.start_refused ? "" : row.start;
            }
            head.appendChild(make("th", { scope: "col" }, column.caption));
            cells.insertCell().textContent = row.cells[i];
        });
        var entries = section.appendChild(make("table", { class: "plant-entries" })).createTBody();
        p.table.entries.forEach(function (entry, i) {
            var tr = entries.insertRow();
            tr.insertCell().textContent = (entry.group ? captions[entry.page] + ": " : "") + entry.caption;
            tr.insertCell().textContent = entry.items ? entry.items[recorder.values[i]] : String(recorder.values[i]);
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

    function print(p) {
        buildPages(p);
        p.view.all(true);
        document.body.classList.add("printing-plant");
        window.print();
    }

    function wire(p) {
        el("plant-print").addEventListener("click", function () { print(p); });
        window.addEventListener("afterprint", function () {
            if (!document.body.classList.contains("printing-plant")) return;
            document.body.classList.remove("printing-plant");
            p.view.all(false);
        });
    }

    return { wire: wire };
})();
