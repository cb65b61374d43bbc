// The web edition's page: starts the calculation core, builds the form from
// its entry table, recalculates on every change, remembers the setup in the
// browser, opens and saves setup files and share links, and prints.
// Every rule, text and number comes from the core; this file only wires.
"use strict";

(function () {
    var STORE_KEY = "capacimo/setup";  // the whole setup, as a setup file holds it
    var OLD_PREFIX = "capacimo/";      // the former store: one value per entry, and the name
    var LINK_PREFIX = "#setup=";

    var core;       // the module: entries(), calculate() and the rest; null while it restarts
    var table;      // the entry table
    var values;     // one number per entry, as the form holds them
    var form;
    var details;
    var plant;      // the Plant view
    var el = function (id) { return document.getElementById(id); };

    // ---- the core: every answer is checked

    // Starts a module: fn(module), or the page says it cannot run here.
    function startCore(fn) {
        try {
            createCapacimoCore().then(fn, cannotRun);
        } catch (e) {
            cannotRun();  // no WebAssembly, or the module's script did not load
        }
    }

    // The core's answer, or null. A module that stopped (out of memory on a
    // hostile input, say) is useless from then on: it is replaced by a fresh
    // one, which answers the form's values again.
    function call(name) {
        if (!core) return null;
        try {
            return core[name].apply(core, Array.prototype.slice.call(arguments, 1));
        } catch (e) {
            core = null;
            var reason = e instanceof Error ? e.message.split(". ")[0] : "";  // a C++ exception has no words
            say(el("message").dataset.restarted + (reason ? ": " + reason : "") + ".");
            startCore(function (module) {
                core = module;
                if (plant) plant.restarted();
                recalculate();
                remember();
            });
            return null;
        }
    }

    function ask() {
        var text = call.apply(null, arguments);
        return text === null ? null : JSON.parse(text);
    }

    // Instead of the form, the one sentence that the calculator cannot run here.
    function cannotRun() {
        var sentence = document.createElement("p");
        sentence.className = "cannot-run";
        sentence.textContent = el("cannot-run").textContent;
        document.querySelector("main").replaceWith(sentence);
        document.querySelector(".tools").remove();
        document.querySelector(".views").remove();
    }

    // ---- the browser's store: the whole setup as one value, as a setup
    // file holds it. Each change writes it whole, so the last writer wins,
    // and another tab that writes it is followed.

    function storage() {
        try {
            return window.localStorage;
        } catch (e) {
            return null; // storage switched off: the page works, remembers nothing
        }
    }

    function store(fn) {
        var s = storage();
        try {
            return s ? fn(s) : null;
        } catch (e) {
            return null; // a full or refused store costs the remembering, never the result
        }
    }

    // The remembered setup: {values, name}. A store of the former kind, one
    // value per entry, is read once and then replaced.
    function loadStored() {
        var read = store(function (s) { return s.getItem(STORE_KEY); });
        read = read === null ? null : ask("readSetup", read);
        if (read && read.values) return read;
        var stored = {};
        store(function (s) {
            table.entries.forEach(function (entry) {
                var text = s.getItem(OLD_PREFIX + entry.store);
                if (text !== null) stored[entry.store] = text;
            });
        });
        return { values: ask("fromStore", JSON.stringify(stored)) ||
                         table.entries.map(function (entry) { return entry.default; }),
                 name: store(function (s) { return s.getItem(OLD_PREFIX + "name"); }) || "" };
    }

    function forgetOldStore() {
        store(function (s) {
            if (s.getItem(STORE_KEY) === null) return;
            table.entries.forEach(function (entry) { s.removeItem(OLD_PREFIX + entry.store); });
            s.removeItem(OLD_PREFIX + "name");
        });
    }

    // After every change: the store and a share link shown get the setup.
    var remembered = null;
    function remember() {
        var text = setupText();
        if (!text) return;
        if (!el("share-link").hidden) showLink(text);
        if (text === remembered) return;
        store(function (s) {
            s.setItem(STORE_KEY, text);
            remembered = text;
        });
    }

    function followOtherTab(event) {
        if (event.key !== STORE_KEY || event.newValue === null || event.newValue === remembered) return;
        var read = ask("readSetup", event.newValue);
        if (!read || !read.values) return;
        remembered = event.newValue;
        el("setup-name").value = read.name;
        values = read.values;
        form.show(values);
        recalculate();
        remember();
    }

    // ---- calculating

    // Details open, the answer brings their words along.
    function options() {
        var o = { breakdown: details.open(), words: details.open() };
        var target = details.target();
        if (target) {
            o.target = target.retention;
            o.medium = target.medium;
        }
        return o;
    }

    // Shows the core's answer for the form's values. An answer that is not
    // a result (an error, or a module that stopped) leaves no old figures:
    // the results are marked as not current and emptied, with the reason
    // in the message line.
    function recalculate() {
        var result = ask("calculateValues", JSON.stringify(values), JSON.stringify(options()));
        var current = Boolean(result && result.results);
        var message = el("message");
        if (result && result.error) {
            say(result.error);
            message.dataset.fromCalculation = "true";
        } else if (current && message.dataset.fromCalculation) {
            say("");
        }
        showResult(current ? result : null);
        showPrintedSetup();
        details.show(current && details.open() ? result.words : null, current ? result.target_refused : "");
    }

    function showResult(result) {
        var status = el("status");
        status.textContent = result ? result.status.text : "";
        status.className = "status " + (result ? result.status.level : "none");
        el("results").dataset.current = String(Boolean(result));
        var body = el("results").tBodies[0];
        body.textContent = "";
        // With alarms or a card reserve, the scenario is named above the
        // figures (the table's caption, otherwise only for a screen reader)
        // and normal operation's stand beside them.
        var scenario = result && result.scenario;
        var caption = el("results").caption;
        caption.dataset.plain = caption.dataset.plain || caption.textContent;
        caption.textContent = scenario ? scenario.caption + ":" : caption.dataset.plain;
        caption.classList.toggle("visually-hidden", !scenario);
        el("results").tHead.rows[0].cells[4].hidden = !scenario;
        (result ? result.results : []).forEach(function (row, i) {
            var tr = body.insertRow();
            var th = document.createElement("th");
            th.scope = "row";
            th.textContent = row.medium;
            tr.appendChild(th);
            [row.weeks, row.days, row.hours].forEach(function (n) { tr.insertCell().textContent = String(n); });
            if (scenario) tr.insertCell().textContent = result.normal.results[i].text;
        });
    }

    function setValues(next) {
        values = next;
        form.show(values);
        recalculate();
        remember();
        if (plant) plant.calculatorChanged(values, el("setup-name").value);
    }

    // A person changed an entry: its dependent counts follow, then the result.
    function changed(entry, value) {
        var next = values.slice();
        next[table.entries.indexOf(entry)] = value;
        setValues(ask("adjust", JSON.stringify(next), entry.key) || next);
    }

    // ---- setup files and share links

    function say(text) {
        var message = el("message");
        message.textContent = text;
        message.hidden = !text;
        delete message.dataset.fromCalculation;
    }

    // Opens a setup text; a text the core refuses changes nothing.
    function openSetup(text, source) {
        var read = ask("readSetup", text);
        if (!read) return;
        if (read.error) {
            say(source + ": " + read.error);
            return;
        }
        say("");
        el("setup-name").value = read.name;
        setValues(read.values);
    }

    // The setup file's text for the form, or null while the core restarts.
    function setupText() {
        return call("setupText", JSON.stringify(values), el("setup-name").value);
    }

    function toBase64Url(text) {
        var bytes = new TextEncoder().encode(text);
        var binary = "";
        bytes.forEach(function (b) { binary += String.fromCharCode(b); });
        return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
    }

    function fromBase64Url(text) {
        var binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
        var bytes = Uint8Array.from(binary, function (c) { return c.charCodeAt(0); });
        return new TextDecoder("utf-8", { fatal: true }).decode(bytes);
    }

    function openLink() {
        var hash = window.location.hash;
        if (hash.indexOf(LINK_PREFIX) !== 0) return;
        // Opened or refused, the link leaves the address bar before the core
        // reads it: the setup lives in the form (and the store) from now on,
        // and a reload does not meet a refused link again.
        history.replaceState(null, "", window.location.pathname + window.location.search);
        var text;
        try {
            text = fromBase64Url(hash.slice(LINK_PREFIX.length));
        } catch (e) {
            text = null;
        }
        var source = el("share").dataset.refused;
        if (text === null) say(source + ": " + el("share").dataset.unreadable);
        else openSetup(text, source);
    }

    // The link field shows the link to the setup on screen; the note says
    // whether it was copied and, on a page opened from a file, where it opens.
    function showLink(text, copied) {
        var field = el("share-link");
        var note = el("share-note");
        field.value = window.location.href.split("#")[0] + LINK_PREFIX + toBase64Url(text);
        field.hidden = false;
        note.textContent = [copied ? note.dataset.copied : "", window.location.protocol === "file:" ? note.dataset.file : ""]
            .filter(Boolean).join(" \u00b7 ");
    }

    function shareLink() {
        var text = setupText();
        if (!text) return;
        showLink(text);
        var field = el("share-link");
        field.select();
        var copied = function () { if (field.value.indexOf(toBase64Url(text)) > 0) showLink(text, true); };
        var copyBySelection = function () { if (document.execCommand("copy")) copied(); };
        if (navigator.clipboard) navigator.clipboard.writeText(field.value).then(copied, copyBySelection);
        else copyBySelection();
    }

    function fileName() {
        var name = el("setup-name").value.trim().replace(/[\\/:*?"<>|\u0000-\u001f]+/g, "_");
        return (name || "setup") + table.setup_file.extension;
    }

    // Hands a text to the browser as a downloaded file.
    function download(text, name, type) {
        var link = document.createElement("a");
        link.href = URL.createObjectURL(new Blob([text], { type: type }));
        link.download = name;
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(function () { URL.revokeObjectURL(link.href); }, 0);
    }

    function save() {
        var text = setupText();
        if (text) download(text, fileName(), "application/json");
    }

    function openFile(file) {
        if (!file) return;
        file.text().then(function (text) { openSetup(text, file.name); },
                         function (error) { say(file.name + ": " + error.message); });
    }

    // ---- print: the report's page, the results first, then every entry
    // under its page's caption, the groups as one table, and the Details

    function heading(text) {
        var h = document.createElement("h3");
        h.textContent = text;
        return h;
    }

    // The printed value cells, one per entry, kept up to date so that any
    // way of printing has them.
    var printedValues = [];
    function buildPrintedSetup() {
        var host = el("print-setup");
        var pagesBox = host.appendChild(document.createElement("div"));
        var entriesOf = function (page) {
            return table.entries.filter(function (entry) { return entry.page === page.id; });
        };
        var listed = function (box, entries) {
            var body = box.appendChild(document.createElement("table")).createTBody();
            entries.forEach(function (entry) {
                var tr = body.insertRow();
                tr.insertCell().textContent = entry.caption;
                printedValues[table.entries.indexOf(entry)] = tr.insertCell();
            });
        };
        listed(pagesBox, entriesOf({ id: "general" }));
        // The pages after the groups' grid go below it, beside the first ones.
        var column = pagesBox;
        table.pages.forEach(function (page) {
            var inner = page.pages || [page];
            if (inner.every(function (p) { return entriesOf(p).some(function (e) { return e.group; }); })) {
                // Pages alike, one per group: a row each, their entries as columns.
                var box = host.appendChild(document.createElement("div"));
                box.appendChild(heading(page.caption));
                var grid = box.appendChild(document.createElement("table"));
                var head = grid.createTHead().insertRow();
                head.appendChild(document.createElement("th"));
                entriesOf(inner[0]).forEach(function (entry) {
                    head.appendChild(document.createElement("th")).textContent = entry.caption;
                });
                var body = grid.createTBody();
                inner.forEach(function (p) {
                    var tr = body.insertRow();
                    tr.insertCell().textContent = p.caption;
                    entriesOf(p).forEach(function (entry) {
                        printedValues[table.entries.indexOf(entry)] = tr.insertCell();
                    });
                });
                column = box;
                return;
            }
            inner.forEach(function (p) {
                if (!entriesOf(p).length) return;
                column.appendChild(heading(p.caption));
                listed(column, entriesOf(p));
            });
        });
    }

    function showPrintedSetup() {
        table.entries.forEach(function (entry, index) {
            var text = entry.items ? entry.items[values[index]] : String(values[index]);
            if (printedValues[index].textContent !== text) printedValues[index].textContent = text;
        });
        var name = el("setup-name").value;
        el("print-name").textContent = name ? ": " + name : "";
    }

    function beforePrint() {
        var now = new Date();
        var two = function (n) { return String(n).padStart(2, "0"); };
        el("print-date").textContent = now.getFullYear() + "-" + two(now.getMonth() + 1) + "-" + two(now.getDate()) +
            " " + two(now.getHours()) + ":" + two(now.getMinutes());
        details.forPrint(true);
        recalculate();
    }

    function afterPrint() {
        details.forPrint(false);
        recalculate();
    }

    // ---- start

    // The buttons work from the start, whatever the first answers are.
    function wire() {
        el("reset").addEventListener("click", function () {
            var next = ask("defaults");
            if (next) setValues(next);
        });
        el("setup-name").addEventListener("input", function () {
            showPrintedSetup();
            remember();
            plant.calculatorChanged(values, el("setup-name").value);
        });
        el("save").addEventListener("click", save);
        el("open").addEventListener("click", function () { el("open-file").click(); });
        el("open-file").addEventListener("change", function (event) {
            openFile(event.target.files[0]);
            event.target.value = "";
        });
        el("share").addEventListener("click", shareLink);
        el("print").addEventListener("click", function () { window.print(); });
        el("form").addEventListener("submit", function (event) { event.preventDefault(); });
        window.addEventListener("beforeprint", beforePrint);
        window.addEventListener("afterprint", afterPrint);
        window.addEventListener("hashchange", openLink);
        window.addEventListener("storage", followOtherTab);
    }

    function start(module) {
        try {
            table = JSON.parse(module.entries());
        } catch (e) {
            return cannotRun();
        }
        core = module;
        document.title = table.title + " \u2013 " + document.title;
        el("title").firstChild.textContent = table.title;
        var reset = el("reset");
        reset.textContent = table.reset.caption;
        reset.title = table.reset.hint;
        var head = el("results").tHead.rows[0];
        table.result_columns.concat([table.normal_column])
            .forEach(function (caption, i) { head.cells[i].textContent = caption; });
        el("open-file").accept = table.setup_file.extension + ",application/json";
        el("setup-name").maxLength = table.setup_file.name_limit;
        // The setup's name is its recorder's name in a plant, captioned alike.
        el("setup-name-label").textContent = table.plant.columns.filter(function (c) { return c.id === "name"; })[0]
            .caption + ":";

        form = CapacimoForm.build(el("form"), table, changed);
        buildPrintedSetup();
        details = CapacimoDetails.create(el("details"), el("details-toggle"), table, recalculate);
        wire();
        try {
            var stored = loadStored();
            el("setup-name").value = stored.name;
            values = stored.values;
            form.show(values);
            recalculate();
        } finally {
            document.body.classList.add("ready");
        }
        performance.mark("capacimo-first-result");
        plant = CapacimoPlant.create({
            ask: ask,
            call: call,
            say: say,
            store: store,
            download: download,
            values: function () { return values; },
            name: function () { return el("setup-name").value; },
            load: function (next, name) {
                el("setup-name").value = name;
                setValues(next);
            },
            target: function (target, open) { details.setTarget(target, open); }
        }, table);
        openLink();
        remember();
        forgetOldStore();
    }

    startCore(start);
})();
