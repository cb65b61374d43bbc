// The Plant view: a table of recorders with the day each medium is full, the
// day to read each out by and its state, sortable by any column, with the
// plant's totals. The module holds the plant (plantAdd, plantEdit, ... in
// web/web_api.h) and answers every row's texts, the table's order and the
// totals; this file lays them out and remembers the plant in the browser.
// It holds no rule: no date arithmetic, sorting or state of its own.
"use strict";

var CapacimoPlant = (function () {
    var STORE_KEY = "capacimo/plant";  // {"margin": 7, "csv": the plant's CSV file}
    var STORE_DELAY = 200;             // ms: a run of keystrokes is stored once
    // Rows on one page of the table. A browser lays out a table of a thousand
    // rows, each with its date field and buttons, in a fifth of a second or
    // more, far too slow for a re-sort to follow at once; fifty, whose texts
    // change in place, it lays out within a frame (bench/web/page_bench.py).
    var PAGE_ROWS = 50;
    var el = function (id) { return document.getElementById(id); };
    var make = function (tag, attributes, text) { return CapacimoForm.element(tag, attributes, text); };

    // The browser's local date, as the module takes it: "2026-03-14".
    function localDate() {
        var now = new Date();
        var two = function (n) { return String(n).padStart(2, "0"); };
        return now.getFullYear() + "-" + two(now.getMonth() + 1) + "-" + two(now.getDate());
    }

    // page: {ask(name, ...), say(text), values(), name(), load(values, name)}
    // and the entry table, whose "plant" member brings the words.
    function create(page, table) {
        var words = table.plant;
        var view = el("plant-view");
        var tableEl = el("plant-table");
        var body = tableEl.tBodies[0];
        var rows = [];         // the module's rows, in the plant's order
        var slots = [];        // the table's row elements, one per row on the page
        var order = [];        // the indices in the table's order
        var pageIndex = 0;     // the page of the table shown
        var shown = [];        // the indices shown, in their order
        var sort = null;       // {column, order}, as the module keeps it
        var chosen = -1;       // the recorder the calculator edits, or -1
        var removed = null;    // what plantRestore takes back
        var stored = null;     // the stored text last written or read
        var storeTimer = 0;
        var unstored = false;  // a change waits to be stored
        var today = "";

        // ---- the table

        function buildHead() {
            var head = tableEl.tHead.rows[0];
            words.columns.forEach(function (column, i) {
                if (i === 4) head.appendChild(make("th", { scope: "col" }, words.start));
                var th = make("th", { scope: "col", "data-column": column.id });
                var button = make("button", { type: "button", class: "sort" }, column.caption);
                button.addEventListener("click", function () { sortBy(column.id); });
                th.appendChild(button);
                head.appendChild(th);
            });
            head.appendChild(make("th", { scope: "col" }, tableEl.dataset.actions));
        }

        function showSort() {
            Array.prototype.forEach.call(tableEl.tHead.rows[0].cells, function (th) {
                if (!th.dataset.column) return;
                if (th.dataset.column === sort.column) th.setAttribute("aria-sort", sort.order);
                else th.removeAttribute("aria-sort");
            });
        }

        function sortBy(column) {
            var order = sort && sort.column === column && sort.order === "ascending" ? "descending" : "ascending";
            var answer = page.ask("plantSort", column, order);
            if (!answer || answer.error) return;
            sort = answer.sort;
            showSort();
            pageIndex = 0;
            showOrder(answer.order);
        }

        function actionButton(caption, label, onClick) {
            var button = make("button", { type: "button", "aria-label": label }, caption);
            button.addEventListener("click", onClick);
            return button;
        }

        // One recorder's row, its controls acting on the recorder it shows.
        function newRow() {
            var tr = document.createElement("tr");
            var th = make("th", { scope: "row" });
            var name = make("button", { type: "button", class: "plant-name" });
            name.addEventListener("click", function () { choose(Number(tr.dataset.index)); });
            th.appendChild(name);
            tr.appendChild(th);
            words.columns.forEach(function (column, i) {
                if (i === 0) return;
                if (i === 4) tr.appendChild(startCell(tr));
                tr.appendChild(make("td", { "data-caption": column.caption }));
            });
            var actions = make("td", { class: "plant-actions" });
            var data = tableEl.dataset;
            actions.appendChild(actionButton(data.duplicate, "", function () { duplicate(Number(tr.dataset.index)); }));
            actions.appendChild(actionButton(data.rename, "", function () { rename(tr); }));
            actions.appendChild(actionButton(data.remove, "", function () { remove(Number(tr.dataset.index)); }));
            var plan = actionButton(data.plan, "", function () { choose(Number(tr.dataset.index), true); });
            plan.hidden = true;
            actions.appendChild(plan);
            tr.appendChild(actions);
            return tr;
        }

        function startCell(tr) {
            var td = make("td", { "data-caption": words.start });
            var input = make("input", { type: "date", min: words.dates.first, max: words.dates.last });
            input.addEventListener("change", function () { edit(Number(tr.dataset.index), { start: input.value }); });
            td.appendChild(input);
            return td;
        }

        // Writes a row's texts into an element; only what changed is touched.
        function fillRow(tr, row) {
            var set = function (node, text) { if (node.textContent !== text) node.textContent = text; };
            var label = function (node, text) { if (node.getAttribute("aria-label") !== text) node.setAttribute("aria-label", text); };
            var cells = tr.cells;
            var name = cells[0].firstChild;
            if (name.tagName === "BUTTON") set(name, row.cells[0]);
            tr.dataset.name = row.cells[0];
            for (var i = 1; i < row.cells.length; ++i) set(cells[i < 4 ? i : i + 1], row.cells[i]);
            var state = cells[row.cells.length];
            if (state.className !== "state state-" + row.state) state.className = "state state-" + row.state;
            var start = cells[4].firstChild;
            if (start.value !== row.start) start.value = row.start;
            label(start, words.start + ": " + row.cells[0]);
            var buttons = cells[cells.length - 1].children;
            var data = tableEl.dataset;
            [data.duplicate, data.rename, data.remove, data.plan].forEach(function (caption, k) {
                label(buttons[k], caption + ": " + row.cells[0]);
            });
            // A recorder that falls short of its target offers the plan that reaches it.
            buttons[3].hidden = row.state !== "short";
        }

        // The element showing the row at index, or null when it is on another page.
        function rowElement(index) {
            return slots.filter(function (tr) { return tr.dataset.index === String(index); })[0] || null;
        }

        // Where the focus is in the table: the row's index and which of its
        // controls; after the rows moved, the same control of the same row
        // gets it back (when that row is still on the page).
        function focusInTable() {
            var focused = document.activeElement;
            var tr = focused && body.contains(focused) ? focused.closest("tr") : null;
            if (!tr) return null;
            return { index: tr.dataset.index, control: Array.prototype.indexOf.call(tr.querySelectorAll("button, input"), focused) };
        }

        function restoreFocus(place) {
            var tr = place && rowElement(place.index);
            if (tr && tr.querySelectorAll("button, input")[place.control] !== document.activeElement) {
                tr.querySelectorAll("button, input")[place.control].focus();
            }
        }

        // The table's page shows its slice of the order; all of it on paper.
        function showPage(all) {
            var pages = Math.max(1, Math.ceil(order.length / PAGE_ROWS));
            pageIndex = Math.min(Math.max(pageIndex, 0), pages - 1);
            var slice = all ? order : order.slice(pageIndex * PAGE_ROWS, (pageIndex + 1) * PAGE_ROWS);
            var same = slice.length === shown.length && slice.every(function (i, k) { return shown[k] === i; });
            if (!same) {
                // The rows stay in place and take the texts of the rows now
                // shown there: a browser lays out changed texts much faster
                // than moved rows.
                var place = focusInTable();
                while (slots.length < slice.length) slots.push(body.appendChild(newRow()));
                slots.splice(slice.length).forEach(function (tr) { tr.remove(); });
                slice.forEach(function (index, k) {
                    slots[k].dataset.index = String(index);
                    fillRow(slots[k], rows[index]);
                });
                shown = slice;
                showChosen();
                restoreFocus(place);
            }
            var pager = el("plant-pager");
            pager.hidden = pages === 1;
            var text = pager.dataset.shown.replace("%1", String(pageIndex * PAGE_ROWS + 1))
                .replace("%2", String(pageIndex * PAGE_ROWS + slice.length)).replace("%3", String(order.length));
            if (el("plant-page-text").textContent !== text) el("plant-page-text").textContent = text;
            el("plant-previous").disabled = pageIndex === 0;
            el("plant-next").disabled = pageIndex === pages - 1;
        }

        function showOrder(next) {
            order = next;
            showPage(false);
        }

        // Shows the page that holds the row at index, and gives its name the focus.
        function focusRow(index) {
            pageIndex = Math.floor(order.indexOf(index) / PAGE_ROWS);
            showPage(false);
            rowElement(index).scrollIntoView({ block: "nearest" });
            rowElement(index).cells[0].firstChild.focus();
        }

        // "Recorders: 4 · Overdue: 1 · Due: 1 · Short: 1", each count kept on its line.
        function showTotals(totals) {
            var parts = [words.recorders + ": " + totals.recorders];
            words.states.forEach(function (state) {
                if (totals[state.id] !== undefined) parts.push(state.caption + ": " + totals[state.id]);
            });
            var line = el("plant-totals");
            if (line.textContent === parts.join(" \u00b7 ")) return;  // a live region: said when it changes
            line.textContent = "";
            parts.forEach(function (part, i) {
                if (i) line.appendChild(document.createTextNode(" \u00b7 "));
                line.appendChild(make("span", {}, part));
            });
        }

        function showChosen() {
            slots.forEach(function (tr) {
                if (tr.dataset.index === String(chosen)) tr.setAttribute("aria-current", "true");
                else if (tr.hasAttribute("aria-current")) tr.removeAttribute("aria-current");
            });
            var link = el("plant-link");
            link.hidden = chosen < 0;
            if (chosen >= 0) {
                el("plant-link-text").textContent = el("plant-link-text").dataset.caption + ": " + rows[chosen].cells[0];
            }
        }

        // A whole view: every row built again.
        function show(answer) {
            if (!answer || answer.error) return false;
            today = answer.today;
            sort = answer.sort;
            el("plant-margin").value = String(answer.margin);
            rows = answer.rows;
            slots.forEach(function (tr) { tr.remove(); });
            slots = [];
            shown = [];
            showOrder(answer.order);
            showSort();
            showTotals(answer.totals);
            showChosen();
            return true;
        }

        // ---- changes

        function refused(answer) {
            if (answer && answer.error) page.say(answer.error);
            return !answer || Boolean(answer.error);
        }

        function changed(answer) {
            if (refused(answer)) return false;
            show(answer);
            scheduleStore();
            return true;
        }

        function edit(index, change) {
            if (index < 0) return;
            var answer = page.ask("plantEdit", index, JSON.stringify(change));
            if (refused(answer)) {
                if (rowElement(index)) fillRow(rowElement(index), rows[index]);
                return;
            }
            rows[answer.index] = answer.row;
            if (rowElement(answer.index)) fillRow(rowElement(answer.index), answer.row);
            var same = answer.order.every(function (i, k) { return order[k] === i; });
            if (!same) showOrder(answer.order);
            showTotals(answer.totals);
            if (answer.index === chosen) showChosen();
            scheduleStore();
        }

        function add() {
            var answer = page.ask("plantAdd", JSON.stringify({
                values: page.values(), name: page.name(), start: el("plant-start").value }));
            if (changed(answer)) focusRow(answer.index);
        }

        // Choosing a row shows its setup in the calculator, and from then on
        // the calculator's changes go to it; its target, where it has one,
        // goes into the Details, opened with plan.
        function choose(index, plan) {
            var recorder = page.ask("plantRecorder", index);
            if (refused(recorder)) return;
            chosen = -1;  // loading the calculator is no change of the row
            page.load(recorder.values, recorder.name);
            chosen = index;
            if (recorder.target) page.target(recorder.target, plan === true);
            showChosen();
            if (plan === true) selectView(false);
        }

        function release() {
            chosen = -1;
            showChosen();
        }

        function duplicate(index) {
            var answer = page.ask("plantDuplicate", index);
            if (refused(answer)) return;
            if (chosen > index) chosen += 1;  // the chosen recorder's place, before the rows are shown
            changed(answer);
            focusRow(answer.index);
        }

        function remove(index) {
            var answer = page.ask("plantRemove", index);
            if (refused(answer)) return;
            chosen = chosen === index ? -1 : chosen > index ? chosen - 1 : chosen;
            changed(answer);
            removed = answer.removed;
            el("plant-removed").textContent = view.dataset.removed + " " + removed.name;
            el("plant-undo-line").hidden = false;
            el("plant-undo").focus();
        }

        function undo() {
            if (!removed) return;
            var answer = page.ask("plantRestore", JSON.stringify(removed));
            if (refused(answer)) return;
            if (chosen >= answer.index) chosen += 1;
            changed(answer);
            removed = null;
            el("plant-undo-line").hidden = true;
            focusRow(answer.index);
        }

        // The name's button becomes a text field in its place: Enter or
        // leaving it renames, Escape keeps the name.
        function rename(tr) {
            var cell = tr.cells[0];
            var button = cell.firstChild;
            var input = make("input", { type: "text", "aria-label": tableEl.dataset.rename + ": " + tr.dataset.name,
                                        maxlength: table.setup_file.name_limit });
            input.value = tr.dataset.name;
            var done = false;
            var finish = function (keep) {
                if (done) return;
                done = true;
                cell.replaceChild(button, input);
                var index = Number(tr.dataset.index);
                if (keep && input.value !== tr.dataset.name) {
                    edit(index, { name: input.value });
                    if (index === chosen) page.load(page.values(), input.value);
                }
                button.focus();
            };
            input.addEventListener("keydown", function (event) {
                if (event.key === "Enter" || event.key === "Escape") {
                    event.preventDefault();
                    finish(event.key === "Enter");
                }
            });
            input.addEventListener("blur", function () { finish(true); });
            cell.replaceChild(input, button);
            input.focus();
            input.select();
        }

        function setMargin() {
            var field = el("plant-margin");
            if (!changed(page.ask("plantMargin", field.value))) field.value = String(page.ask("plantView").margin);
        }

        // ---- the store: the plant's CSV file and the margin, as one value

        function storedText() {
            var csv = page.call("plantCsv");
            return csv === null ? null : JSON.stringify({ margin: Number(el("plant-margin").value), csv: csv });
        }

        function scheduleStore() {
            unstored = true;
            clearTimeout(storeTimer);
            storeTimer = setTimeout(store, STORE_DELAY);
        }

        // Writes the plant when it changed here (also when the page closes
        // before the delay is over).
        function store() {
            clearTimeout(storeTimer);
            if (!unstored) return;
            unstored = false;
            var text = storedText();
            if (text === null || text === stored) return;
            var written = page.store(function (s) {
                s.setItem(STORE_KEY, text);
                return true;
            });
            if (written) stored = text;
            else page.say(view.dataset.tooLarge + ".");
        }

        // Reads a stored value (this tab's at the start, another tab's later).
        function loadStored(text) {
            var value;
            try {
                value = JSON.parse(text);
            } catch (e) {
                value = null;
            }
            if (!value || typeof value.csv !== "string") return false;
            var margin = Number.isInteger(value.margin) ? value.margin : words.margin.default;
            var answer = page.ask("plantLoad", value.csv, String(margin));
            if (!answer || answer.error || answer.fileError) return false;
            stored = text;
            release();
            return show(answer);
        }

        function followOtherTab(event) {
            if (event.key !== STORE_KEY || event.newValue === null || event.newValue === stored) return;
            loadStored(event.newValue);
        }

        // ---- files

        // An imported file replaces the plant; a file refused as a whole
        // changes nothing. Each problem names its line and column.
        function importText(text, fileName) {
            var answer = page.ask("plantLoad", text, el("plant-margin").value);
            if (refused(answer)) return;
            if (answer.fileError) {
                page.say(fileName + ": " + answer.fileError);
                return;
            }
            release();
            show(answer);
            scheduleStore();
            var lines = answer.problems.concat(answer.notes);
            page.say(lines.length ? lines.map(function (line) { return fileName + ": " + line; }).join("\n") : "");
        }

        function importFile(file) {
            if (!file) return;
            file.text().then(function (text) { importText(text, file.name); },
                             function (error) { page.say(file.name + ": " + error.message); });
        }

        // ---- the day: asked of the browser when the page starts and
        // whenever it is shown again, so that a page left open overnight
        // judges the rows against the new day

        function followToday() {
            var date = localDate();
            if (date === today) return;
            if (el("plant-start").value === "" || el("plant-start").value === today) el("plant-start").value = date;
            show(page.ask("plantToday", date));
        }

        // ---- printing: the plant's table, and each recorder's page when asked

        // Each page's caption by its id, inner pages too ("group3": "Group 3").
        var pageCaptions = {};
        (function collect(pages) {
            pages.forEach(function (p) {
                pageCaptions[p.id] = p.caption;
                if (p.pages) collect(p.pages);
            });
        })(table.pages);

        function buildPages() {
            var host = el("plant-pages");
            host.textContent = "";
            if (!el("plant-print-pages").checked) return;
            order.forEach(function (index) {
                var recorder = page.ask("plantRecorder", index);
                var section = host.appendChild(make("section", { class: "plant-page" }));
                section.appendChild(make("h2", {}, recorder.name));
                var summary = section.appendChild(make("table", { class: "grid" }));
                var head = summary.createTHead().insertRow();
                var row = summary.createTBody().insertRow();
                words.columns.forEach(function (column, i) {
                    if (i === 0) return;
                    if (i === 4) {
                        head.appendChild(make("th", { scope: "col" }, words.start));
                        row.insertCell().textContent = recorder.start;
                    }
                    head.appendChild(make("th", { scope: "col" }, column.caption));
                    row.insertCell().textContent = rows[index].cells[i];
                });
                var entries = section.appendChild(make("table", { class: "plant-entries" })).createTBody();
                table.entries.forEach(function (entry, i) {
                    var tr = entries.insertRow();
                    tr.insertCell().textContent = (entry.group ? pageCaptions[entry.page] + ": " : "") + entry.caption;
                    tr.insertCell().textContent = entry.items ? entry.items[recorder.values[i]] : String(recorder.values[i]);
                });
            });
        }

        function print() {
            buildPages();
            showPage(true);
            document.body.classList.add("printing-plant");
            window.print();
        }

        // ---- the two views

        function selectView(plant) {
            [["view-calculator", "calculator-view"], ["view-plant", "plant-view"]].forEach(function (pair, i) {
                var selected = (i === 1) === plant;
                var tab = el(pair[0]);
                tab.setAttribute("aria-selected", String(selected));
                tab.tabIndex = selected ? 0 : -1;
                el(pair[1]).hidden = !selected;
            });
        }

        function wireViews() {
            var tabs = [el("view-calculator"), el("view-plant")];
            tabs.forEach(function (tab, i) {
                tab.addEventListener("click", function () { selectView(i === 1); });
                tab.addEventListener("keydown", function (event) {
                    if (["ArrowLeft", "ArrowRight", "Home", "End"].indexOf(event.key) < 0) return;
                    event.preventDefault();
                    var next = event.key === "Home" ? 0 : event.key === "End" ? 1 : 1 - i;
                    selectView(next === 1);
                    tabs[next].focus();
                });
            });
        }

        function wire() {
            wireViews();
            el("plant-add").addEventListener("click", add);
            el("plant-release").addEventListener("click", release);
            el("plant-undo").addEventListener("click", undo);
            el("plant-margin").addEventListener("change", setMargin);
            el("plant-import").addEventListener("click", function () { el("plant-file").click(); });
            el("plant-file").addEventListener("change", function (event) {
                importFile(event.target.files[0]);
                event.target.value = "";
            });
            el("plant-export").addEventListener("click", function () {
                var csv = page.call("plantCsv");
                if (csv !== null) page.download(csv, tableEl.dataset.fileName, "text/csv");
            });
            el("plant-calendar").addEventListener("click", function () {
                var ics = page.call("plantCalendarText");
                if (ics !== null) {
                    page.download(ics, tableEl.dataset.calendarName + words.calendar.extension, words.calendar.media_type);
                }
            });
            el("plant-print").addEventListener("click", print);
            window.addEventListener("afterprint", function () {
                if (!document.body.classList.contains("printing-plant")) return;
                document.body.classList.remove("printing-plant");
                showPage(false);
            });
            el("plant-previous").addEventListener("click", function () {
                pageIndex -= 1;
                showPage(false);
            });
            el("plant-next").addEventListener("click", function () {
                pageIndex += 1;
                showPage(false);
            });
            window.addEventListener("storage", followOtherTab);
            window.addEventListener("pagehide", store);
            document.addEventListener("visibilitychange", followToday);
            window.addEventListener("focus", followToday);
        }

        function start() {
            var margin = el("plant-margin");
            margin.min = String(words.margin.min);
            margin.max = String(words.margin.max);
            el("plant-start-label").textContent = words.start + ":";
            el("plant-start").min = words.dates.first;
            el("plant-start").max = words.dates.last;
            buildHead();
            wire();
            today = localDate();
            el("plant-start").value = today;
            page.ask("plantToday", today);
            // Without the browser's store the plant lives until the page closes.
            var text = page.store(function (s) { return s.getItem(STORE_KEY); });
            if (text === null || !loadStored(text)) show(page.ask("plantView"));
        }

        start();
        return {
            // The calculator's setup changed: the chosen recorder follows it.
            calculatorChanged: function (values, name) {
                if (chosen >= 0) edit(chosen, { values: values, name: name });
            },
            // The module was started afresh: it holds the remembered plant again.
            restarted: function () {
                page.ask("plantToday", today);
                if (stored === null || !loadStored(stored)) show(page.ask("plantView"));
            }
        };
    }

    return { create: create };
})();
