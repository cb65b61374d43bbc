// The Plant view's table: one row per recorder with the module's texts,
// sortable by any column's header, in pages of fifty rows, the focus kept on
// its control when the rows move. It holds no rule: every text, the order
// and the totals are the module's answers (web/plant.js asks for them).
"use strict";

var CapacimoPlantTable = (function () {
    // Rows on one page of the table. A browser lays out a table of a thousand
    // rows, each with its date field and buttons, in a fifth of a second or
    // more, far too slow for a re-sort to follow at once; fifty, whose texts
    // change in place, it lays out within a frame (bench/web/page_bench.py).
    var PAGE_ROWS = 50;
    var START_COLUMN = 4;  // the start's cell comes before the plant's fifth column
    var el = function (id) { return document.getElementById(id); };
    var make = function (tag, attributes, text) { return CapacimoForm.element(tag, attributes, text); };

    // tableEl: the table; words: the module's plant words; act: what the
    // row's controls do: {sort(column), choose(index, plan), duplicate(index),
    // rename(tr), remove(index), start(index, value)}.
    function create(tableEl, words, act) {
        var t = {
            table: tableEl, body: tableEl.tBodies[0], words: words, act: act,
            rows: [], slots: [], order: [], pageIndex: 0, shown: [], sort: null, chosen: -1
        };
        buildHead(t);
        return {
            show: function (view) { show(t, view); },
            row: function (index, row) { setRow(t, index, row); },
            order: function (order) { setOrder(t, order); },
            sorted: function (sort, order) { t.sort = sort; showSort(t); t.pageIndex = 0; setOrder(t, order); },
            totals: function (totals) { showTotals(t, totals); },
            choose: function (index) { t.chosen = index; showChosen(t); },
            chosen: function () { return t.chosen; },
            rowOf: function (index) { return t.rows[index]; },
            sort: function () { return t.sort; },
            focusRow: function (index) { focusRow(t, index); },
            turn: function (pages) { t.pageIndex += pages; showPage(t, false); },
            all: function (on) { showPage(t, on); },
            order_: function () { return t.order; }
        };
    }

    function buildHead(t) {
        var head = t.table.tHead.rows[0];
        t.words.columns.forEach(function (column, i) {
            if (i === START_COLUMN) head.appendChild(make("th", { scope: "col" }, t.words.start));
            var th = make("th", { scope: "col", "data-column": column.id });
            var button = make("button", { type: "button", class: "sort" }, column.caption);
            button.addEventListener("click", function () { t.act.sort(column.id); });
            th.appendChild(button);
            head.appendChild(th);
        });
        head.appendChild(make("th", { scope: "col" }, t.table.dataset.actions));
    }

    function showSort(t) {
        Array.prototype.forEach.call(t.table.tHead.rows[0].cells, function (th) {
            if (!th.dataset.column) return;
            if (th.dataset.column === t.sort.column) th.setAttribute("aria-sort", t.sort.order);
            else th.removeAttribute("aria-sort");
        });
    }

    function actionButton(caption, onClick) {
        var button = make("button", { type: "button", "aria-label": "" }, caption);
        button.addEventListener("click", onClick);
        return button;
    }

    // One recorder's row, its controls acting on the recorder it shows.
    function newRow(t) {
        var tr = document.createElement("tr");
        var index = function () { return Number(tr.dataset.index); };
        var th = make("th", { scope: "row" });
        var name = make("button", { type: "button", class: "plant-name" });
        name.addEventListener("click", function () { t.act.choose(index()); });
        th.appendChild(name);
        tr.appendChild(th);
        t.words.columns.forEach(function (column, i) {
            if (i === 0) return;
            if (i === START_COLUMN) tr.appendChild(startCell(t, index));
            tr.appendChild(make("td", { "data-caption": column.caption }));
        });
        // The commands two by two, so that the column stays narrow.
        var actions = tr.appendChild(make("td", { class: "plant-actions" })).appendChild(make("div"));
        var data = t.table.dataset;
        actions.appendChild(actionButton(data.duplicate, function () { t.act.duplicate(index()); }));
        actions.appendChild(actionButton(data.rename, function () { t.act.rename(tr); }));
        actions.appendChild(actionButton(data.remove, function () { t.act.remove(index()); }));
        var plan = actionButton(data.plan, function () { t.act.choose(index(), true); });
        plan.hidden = true;
        actions.appendChild(plan);
        return tr;
    }

    // The start: a date field, and beside it the text of a start its file
    // held that could not be read, marked as such.
    function startCell(t, index) {
        var td = make("td", { "data-caption": t.words.start });
        var input = make("input", { type: "date", min: t.words.dates.first, max: t.words.dates.last });
        input.addEventListener("change", function () { t.act.start(index(), input.value); });
        td.appendChild(input);
        td.appendChild(make("span", { class: "print-day" }));
        td.appendChild(make("span", { class: "refused", hidden: "" }));
        return td;
    }

    // Writes a row's texts into an element; only what changed is touched.
    function fillRow(t, tr, row) {
        var set = function (node, text) { if (node.textContent !== text) node.textContent = text; };
        var cells = tr.cells;
        var name = cells[0].firstChild;
        if (name.tagName === "BUTTON") {
            set(name, row.cells[0]);
            if (name.title !== row.cells[0]) name.title = row.cells[0];
        }
        tr.dataset.name = row.cells[0];
        for (var i = 1; i < row.cells.length; ++i) set(cells[i < START_COLUMN ? i : i + 1], row.cells[i]);
        var state = cells[row.cells.length];
        if (state.className !== "state state-" + row.state) state.className = "state state-" + row.state;
        fillStart(t, cells[START_COLUMN], row);
        var buttons = cells[cells.length - 1].firstChild.children;
        var data = t.table.dataset;
        [data.duplicate, data.rename, data.remove, data.plan].forEach(function (caption, k) {
            label(buttons[k], caption + ": " + row.cells[0]);
        });
        // A recorder that falls short of its target offers the plan that reaches it.
        buttons[3].hidden = row.state !== "short";
    }

    function label(node, text) {
        if (node.getAttribute("aria-label") !== text) node.setAttribute("aria-label", text);
    }

    function fillStart(t, cell, row) {
        var input = cell.firstChild;
        var refused = cell.lastChild;
        var value = row.start_refused ? "" : row.start;
        if (input.value !== value) input.value = value;
        cell.children[1].textContent = value;  // on paper
        label(input, t.words.start + ": " + row.cells[0]);
        refused.hidden = !row.start_refused;
        refused.textContent = row.start_refused ? t.table.dataset.notRead + ": " + row.start : "";
        refused.title = row.start_refused || "";
        if (row.start_refused) input.setAttribute("aria-description", refused.textContent + ": " + row.start_refused);
        else input.removeAttribute("aria-description");
    }

    // The element showing the row at index, or null when it is on another page.
    function rowElement(t, index) {
        return t.slots.filter(function (tr) { return tr.dataset.index === String(index); })[0] || null;
    }

    // Where the focus is in the table: the row's index and which of its
    // controls; after the rows moved, the same control of the same row
    // gets it back (when that row is still on the page).
    function focusInTable(t) {
        var focused = document.activeElement;
        var tr = focused && t.body.contains(focused) ? focused.closest("tr") : null;
        if (!tr) return null;
        return { index: tr.dataset.index,
                 control: Array.prototype.indexOf.call(tr.querySelectorAll("button, input"), focused) };
    }

    function restoreFocus(t, place) {
        var tr = place && rowElement(t, place.index);
        var control = tr && tr.querySelectorAll("button, input")[place.control];
        if (control && control !== document.activeElement) control.focus();
    }

    // The table's page shows its slice of the order; all of it on paper.
    function showPage(t, all) {
        var pages = Math.max(1, Math.ceil(t.order.length / PAGE_ROWS));
        t.pageIndex = Math.min(Math.max(t.pageIndex, 0), pages - 1);
        var slice = all ? t.order : t.order.slice(t.pageIndex * PAGE_ROWS, (t.pageIndex + 1) * PAGE_ROWS);
        var same = slice.length === t.shown.length && slice.every(function (i, k) { return t.shown[k] === i; });
        if (!same) fillSlots(t, slice);
        var pager = el("plant-pager");
        pager.hidden = pages === 1;
        var text = pager.dataset.shown.replace("%1", String(t.pageIndex * PAGE_ROWS + 1))
            .replace("%2", String(t.pageIndex * PAGE_ROWS + slice.length)).replace("%3", String(t.order.length));
        if (el("plant-page-text").textContent !== text) el("plant-page-text").textContent = text;
        el("plant-previous").disabled = t.pageIndex === 0;
        el("plant-next").disabled = t.pageIndex === pages - 1;
    }

    // The rows stay in place and take the texts of the rows now shown there:
    // a browser lays out changed texts much faster than moved rows.
    function fillSlots(t, slice) {
        var place = focusInTable(t);
        while (t.slots.length < slice.length) t.slots.push(t.body.appendChild(newRow(t)));
        t.slots.splice(slice.length).forEach(function (tr) { tr.remove(); });
        slice.forEach(function (index, k) {
            t.slots[k].dataset.index = String(index);
            fillRow(t, t.slots[k], t.rows[index]);
        });
        t.shown = slice;
        showChosen(t);
        restoreFocus(t, place);
    }

    function setOrder(t, order) {
        t.order = order;
        showPage(t, false);
    }

    // One row's new texts, and the order when it moved.
    function setRow(t, index, row) {
        t.rows[index] = row;
        if (rowElement(t, index)) fillRow(t, rowElement(t, index), row);
        if (index === t.chosen) showChosen(t);
    }

    // Shows the page that holds the row at index, and gives its name the focus.
    function focusRow(t, index) {
        t.pageIndex = Math.floor(t.order.indexOf(index) / PAGE_ROWS);
        showPage(t, false);
        var tr = rowElement(t, index);
        if (!tr) return;
        tr.scrollIntoView({ block: "nearest" });
        tr.cells[0].firstChild.focus();
    }

    // "Recorders: 4 · Overdue: 1 · Due: 1 · Short: 1 · With alarms or a card
    // reserve: 2", each count kept on its line.
    function showTotals(t, totals) {
        var parts = [t.words.recorders + ": " + totals.recorders];
        t.words.states.forEach(function (state) {
            if (totals[state.id] !== undefined) parts.push(state.caption + ": " + totals[state.id]);
        });
        if (totals.scenarios) parts.push(t.words.scenarios + ": " + totals.scenarios);
        var line = el("plant-totals");
        if (line.textContent === parts.join(" \u00b7 ")) return;  // a live region: said when it changes
        line.textContent = "";
        parts.forEach(function (part, i) {
            if (i) line.appendChild(document.createTextNode(" \u00b7 "));
            line.appendChild(make("span", {}, part));
        });
    }

    function showChosen(t) {
        t.slots.forEach(function (tr) {
            if (tr.dataset.index === String(t.chosen)) tr.setAttribute("aria-current", "true");
            else if (tr.hasAttribute("aria-current")) tr.removeAttribute("aria-current");
        });
        var link = el("plant-link");
        link.hidden = t.chosen < 0;
        if (t.chosen >= 0) {
            el("plant-link-text").textContent = el("plant-link-text").dataset.caption + ": " + t.rows[t.chosen].cells[0];
        }
    }

    // A whole view: every row built again.
    function show(t, view) {
        t.sort = view.sort;
        t.rows = view.rows;
        t.slots.forEach(function (tr) { tr.remove(); });
        t.slots = [];
        t.shown = [];
        if (t.chosen >= t.rows.length) t.chosen = -1;
        setOrder(t, view.order);
        showSort(t);
        showTotals(t, view.totals);
        showChosen(t);
    }

    return { create: create };
})();
