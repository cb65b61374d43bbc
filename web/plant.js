// The Plant view: a table of recorders with the day each medium is full, the
// day to read each out by and its state, sortable by any column, with the
// plant's totals. The module holds the plant (plantAdd, plantEdit, ... in
// web/web_api.h) and answers every row's texts, the table's order and the
// totals; web/plant_table.js lays them out, web/plant_store.js keeps them in
// the browser's store. This file wires the commands, the files and paper.
// It holds no rule: no date arithmetic, sorting or state of its own.
"use strict";

var CapacimoPlant = (function () {
    var el = function (id) { return document.getElementById(id); };
    var make = function (tag, attributes, text) { return CapacimoForm.element(tag, attributes, text); };

    // The browser's local date, as the module takes it: "2026-03-14".
    function localDate() {
        var now = new Date();
        var two = function (n) { return String(n).padStart(2, "0"); };
        return now.getFullYear() + "-" + two(now.getMonth() + 1) + "-" + two(now.getDate());
    }

    // page: {ask(name, ...), call(name, ...), say(text), store(fn), download(text, name, type),
    // values(), name(), load(values, name), target(target, open)} and the
    // entry table, whose "plant" member brings the words.
    function create(page, table) {
        var view = el("plant-view");
        var p = { page: page, table: table, words: table.plant, removed: null, today: "" };
        p.store = CapacimoPlantStore.create(page, {
            margin: p.words.margin.default, tooLarge: view.dataset.tooLarge,
            changedElsewhere: view.dataset.changedElsewhere
        });
        p.view = CapacimoPlantTable.create(el("plant-table"), p.words, {
            sort: function (column) { sortBy(p, column); },
            choose: function (index, plan) { choose(p, index, plan); },
            duplicate: function (index) { duplicate(p, index); },
            rename: function (tr) { rename(p, tr); },
            remove: function (index) { remove(p, index); },
            start: function (index, value) { edit(p, index, { start: value }); }
        });
        wire(p);
        start(p);
        return {
            // The calculator's setup changed: the chosen recorder follows it.
            calculatorChanged: function (values, name) {
                if (p.view.chosen() >= 0) edit(p, p.view.chosen(), { values: values, name: name });
            },
            // The module was started afresh: it holds the remembered plant again.
            restarted: function () {
                page.ask("plantToday", p.today);
                show(p, p.store.reload() || page.ask("plantView"));
            }
        };
    }

    // The states' colours as the core gives them, and for the dark scheme
    // lightened by its rule against the page's dark background.
    function colourStates(p) {
        var root = document.documentElement;
        var dark = getComputedStyle(root).getPropertyValue("--dark-face").trim();
        p.words.states.forEach(function (state) {
            root.style.setProperty("--" + state.id + "-light", state.colour);
            root.style.setProperty("--" + state.id + "-dark", p.page.call("readableColour", state.colour, dark));
        });
    }

    function start(p) {
        colourStates(p);
        var margin = el("plant-margin");
        margin.dataset.min = String(p.words.margin.min);
        margin.dataset.max = String(p.words.margin.max);
        el("plant-start-label").textContent = p.words.start + ":";
        el("plant-start").min = p.words.dates.first;
        el("plant-start").max = p.words.dates.last;
        p.today = localDate();
        el("plant-start").value = p.today;
        p.page.ask("plantToday", p.today);
        var answer = p.store.start();
        show(p, answer || p.page.ask("plantView"));
        sayUnreadable(p);
        // What the stored rows could not give: said, and kept in the store.
        if (answer) p.page.say(answer.problems.concat(answer.notes).join("\n"));
    }

    // ---- showing the module's answers

    function show(p, answer) {
        if (!answer || answer.error) return false;
        p.today = answer.today;
        el("plant-margin").value = String(answer.margin);
        p.view.show(answer);
        return true;
    }

    function refused(p, answer) {
        if (answer && answer.error) p.page.say(answer.error);
        return !answer || Boolean(answer.error);
    }

    // One recorder's new row, its place in the order and the totals.
    function showEdit(p, answer) {
        p.view.row(answer.index, answer.row);
        p.view.order(answer.order);
        p.view.totals(answer.totals);
    }

    // Stored values that could not be read stay in the store: said, with
    // the way to take them along as a file.
    function sayUnreadable(p) {
        var unreadable = p.store.unreadable();
        var line = el("plant-unreadable");
        line.hidden = unreadable.length === 0;
        el("plant-unreadable-text").textContent = line.dataset.caption.replace("%1", String(unreadable.length));
    }

    // ---- changes

    function edit(p, index, change) {
        if (index < 0) return;
        var answer = p.page.ask("plantEdit", index, JSON.stringify(change));
        if (refused(p, answer)) {
            if (p.view.rowOf(index)) p.view.row(index, p.view.rowOf(index));
            return;
        }
        showEdit(p, answer);
        p.store.edited(index);
    }

    function add(p) {
        var answer = p.page.ask("plantAdd", JSON.stringify({
            values: p.page.values(), name: p.page.name(), start: el("plant-start").value }));
        if (refused(p, answer)) return;
        show(p, answer);
        p.store.added(answer.index);
        p.view.focusRow(answer.index);
    }

    // Choosing a row shows its setup in the calculator, and from then on
    // the calculator's changes go to it; its target, where it has one,
    // goes into the Details, opened with plan.
    function choose(p, index, plan) {
        var recorder = p.page.ask("plantRecorder", index);
        if (refused(p, recorder)) return;
        p.view.choose(-1);  // loading the calculator is no change of the row
        p.page.load(recorder.values, recorder.name);
        p.view.choose(index);
        if (recorder.target) p.page.target(recorder.target, plan === true);
        if (plan === true) selectView(false);
    }

    function duplicate(p, index) {
        var answer = p.page.ask("plantDuplicate", index);
        if (refused(p, answer)) return;
        var chosen = p.view.chosen();
        show(p, answer);
        p.view.choose(chosen > index ? chosen + 1 : chosen);
        p.store.duplicated(answer.index);
        p.view.focusRow(answer.index);
    }

    function remove(p, index) {
        var answer = p.page.ask("plantRemove", index);
        if (refused(p, answer)) return;
        var chosen = p.view.chosen();
        show(p, answer);
        p.view.choose(chosen === index ? -1 : chosen > index ? chosen - 1 : chosen);
        p.removed = { answer: answer.removed, token: p.store.removed(index) };
        el("plant-removed").textContent = el("plant-view").dataset.removed + " " + answer.removed.name;
        el("plant-undo-line").hidden = false;
        el("plant-undo").focus();
    }

    function undo(p) {
        if (!p.removed) return;
        var answer = p.page.ask("plantRestore", JSON.stringify(p.removed.answer));
        if (refused(p, answer)) return;
        var chosen = p.view.chosen();
        show(p, answer);
        p.view.choose(chosen >= answer.index ? chosen + 1 : chosen);
        p.store.restored(answer.index, p.removed.token);
        p.removed = null;
        el("plant-undo-line").hidden = true;
        p.view.focusRow(answer.index);
    }

    // The name's button becomes a text field in its place: Enter or
    // leaving it renames, Escape keeps the name.
    function rename(p, tr) {
        var cell = tr.cells[0];
        var button = cell.firstChild;
        var input = make("input", { type: "text", "aria-label": el("plant-table").dataset.rename + ": " + tr.dataset.name,
                                    maxlength: p.table.setup_file.name_limit });
        input.value = tr.dataset.name;
        var done = false;
        var finish = function (keep) {
            if (done) return;
            done = true;
            cell.replaceChild(button, input);
            var index = Number(tr.dataset.index);
            if (keep && input.value !== tr.dataset.name) {
                edit(p, index, { name: input.value });
                if (index === p.view.chosen()) p.page.load(p.page.values(), input.value);
            }
            button.focus();
        };
        input.addEventListener("keydown", function (event) {
            if (event.key !== "Enter" && event.key !== "Escape") return;
            event.preventDefault();
            finish(event.key === "Enter");
        });
        input.addEventListener("blur", function () { finish(true); });
        cell.replaceChild(input, button);
        input.focus();
        input.select();
    }

    // The margin as typed goes to the module, which refuses what is no margin.
    function setMargin(p) {
        var field = el("plant-margin");
        var answer = p.page.ask("plantMargin", field.value);
        if (refused(p, answer)) {
            field.value = String(p.page.ask("plantView").margin);
            return;
        }
        show(p, answer);
        p.store.marginChanged(answer.margin);
    }

    function sortBy(p, column) {
        var sort = p.view.sort();
        var order = sort && sort.column === column && sort.order === "ascending" ? "descending" : "ascending";
        var answer = p.page.ask("plantSort", column, order);
        if (answer && !answer.error) p.view.sorted(answer.sort, answer.order);
    }

    // Another tab changed the store: its change, as the store holds it now.
    function followOtherTab(p, event) {
        var followed = p.store.follow(event);
        if (!followed) return;
        if (followed.view) {
            p.view.choose(-1);  // the whole plant anew: nothing chosen
            show(p, followed.view);
            return;
        }
        var chosen = p.view.chosen();
        var i = followed.index;
        if (followed.change === "remove") {
            show(p, followed.answer);
            p.view.choose(chosen === i ? -1 : chosen > i ? chosen - 1 : chosen);
        } else if (followed.change === "insert") {
            show(p, p.page.ask("plantView"));
            p.view.choose(chosen >= i ? chosen + 1 : chosen);
        } else {
            showEdit(p, followed.answer);
        }
    }

    // ---- files

    // An imported file replaces the plant; a file refused as a whole
    // changes nothing. Its bytes go to the module, which reads any encoding
    // a spreadsheet writes. Each problem names its line and column.
    function importBytes(p, bytes, fileName) {
        var answer = p.page.ask("plantLoad", bytes, el("plant-margin").value);
        if (refused(p, answer)) return;
        if (answer.fileError) {
            p.page.say(fileName + ": " + answer.fileError);
            return;
        }
        p.view.choose(-1);
        show(p, answer);
        p.store.replaced(answer);
        var lines = answer.problems.concat(answer.notes);
        p.page.say(lines.map(function (line) { return fileName + ": " + line; }).join("\n"));
    }

    function importFile(p, file) {
        if (!file) return;
        file.arrayBuffer().then(function (buffer) { importBytes(p, new Uint8Array(buffer), file.name); },
                                function (error) { p.page.say(file.name + ": " + error.message); });
    }

    // The plant's file; what it writes back unread is said.
    function exportPlant(p) {
        var csv = p.page.call("plantCsv");
        if (csv === null) return;
        var name = el("plant-table").dataset.fileName;
        p.page.download(csv, name, "text/csv");
        var unread = p.page.ask("plantView").unread;
        p.page.say(unread ? name + ": " + unread + "." : "");
    }

    function downloadUnreadable(p) {
        var values = p.store.unreadable().map(function (u) { return u.key + "\n" + u.value; });
        p.page.download(values.join("\n\n") + "\n", el("plant-unreadable").dataset.fileName, "text/plain");
    }

    // ---- the day: asked of the browser when the page starts and
    // whenever it is shown again, so that a page left open overnight
    // judges the rows against the new day

    function followToday(p) {
        var date = localDate();
        if (date === p.today) return;
        if (el("plant-start").value === "" || el("plant-start").value === p.today) el("plant-start").value = date;
        show(p, p.page.ask("plantToday", date));
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

    function wire(p) {
        wireViews();
        var on = function (id, event, fn) { el(id).addEventListener(event, fn); };
        on("plant-add", "click", function () { add(p); });
        on("plant-release", "click", function () { p.view.choose(-1); });
        on("plant-undo", "click", function () { undo(p); });
        on("plant-margin", "change", function () { setMargin(p); });
        on("plant-import", "click", function () { el("plant-file").click(); });
        on("plant-file", "change", function (event) {
            importFile(p, event.target.files[0]);
            event.target.value = "";
        });
        on("plant-export", "click", function () { exportPlant(p); });
        on("plant-calendar", "click", function () {
            var ics = p.page.call("plantCalendarText");
            var name = el("plant-table").dataset.calendarName + p.words.calendar.extension;
            if (ics !== null) p.page.download(ics, name, p.words.calendar.media_type);
        });
        on("plant-unreadable-download", "click", function () { downloadUnreadable(p); });
        on("plant-previous", "click", function () { p.view.turn(-1); });
        on("plant-next", "click", function () { p.view.turn(1); });
        CapacimoPlantPaper.wire(p);
        window.addEventListener("storage", function (event) { followOtherTab(p, event); });
        document.addEventListener("visibilitychange", function () { followToday(p); });
        window.addEventListener("focus", function () { followToday(p); });
    }

    return { create: create, selectView: selectView };
})();
