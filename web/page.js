// The web edition's page: starts the calculation core, builds the form from
// its entry table, recalculates on every change, remembers the entries in
// the browser, opens and saves setup files and share links, and prints.
// Every rule, text and number comes from the core; this file only wires.
"use strict";

(function () {
    var STORE_PREFIX = "capacimo/";
    var NAME_KEY = STORE_PREFIX + "name";
    var LINK_PREFIX = "#setup=";

    var core;       // the module: entries(), calculate() and the rest
    var table;      // the entry table
    var values;     // one number per entry, as the form holds them
    var form;
    var details;
    var el = function (id) { return document.getElementById(id); };

    // ---- the browser's store: one value per entry, judged one by one

    function storage() {
        try {
            return window.localStorage;
        } catch (e) {
            return null; // storage switched off: the page works, remembers nothing
        }
    }

    function loadStored() {
        var store = storage();
        var stored = {};
        if (store) {
            table.entries.forEach(function (entry) {
                var text = store.getItem(STORE_PREFIX + entry.store);
                if (text !== null) stored[entry.store] = text;
            });
        }
        return JSON.parse(core.fromStore(JSON.stringify(stored)));
    }

    // Writes the values that changed since the last time: the browser's
    // store writes each value through at once, so a keystroke writes one.
    var remembered = [];
    function remember() {
        var store = storage();
        if (!store) return;
        try {
            table.entries.forEach(function (entry, index) {
                if (remembered[index] === values[index]) return;
                store.setItem(STORE_PREFIX + entry.store, String(values[index]));
                remembered[index] = values[index];
            });
            if (store.getItem(NAME_KEY) !== el("setup-name").value) store.setItem(NAME_KEY, el("setup-name").value);
        } catch (e) {
            remembered = []; // a full or refused store costs the remembering, never the result
        }
    }

    // ---- calculating

    function options() {
        var o = { breakdown: details.open() };
        var target = details.target();
        if (target) {
            o.target = target.retention;
            o.medium = target.medium;
        }
        return o;
    }

    function recalculate() {
        var result = JSON.parse(core.calculateValues(JSON.stringify(values), JSON.stringify(options())));
        showResult(result);
        showPrintedSetup();
        details.show(result);
        return result;
    }

    function showResult(result) {
        var status = el("status");
        status.textContent = result.status.text;
        status.className = "status " + result.status.level;
        var body = el("results").tBodies[0];
        body.textContent = "";
        result.results.forEach(function (row) {
            var tr = document.createElement("tr");
            var th = document.createElement("th");
            th.scope = "row";
            th.textContent = row.medium;
            tr.appendChild(th);
            [row.weeks, row.days, row.hours].forEach(function (n) {
                var td = document.createElement("td");
                td.textContent = String(n);
                tr.appendChild(td);
            });
            body.appendChild(tr);
        });
    }

    function setValues(next) {
        values = next;
        form.show(values);
        recalculate();
        remember();
    }

    // A person changed an entry: its dependent counts follow, then the result.
    function changed(entry, value) {
        var next = values.slice();
        next[table.entries.indexOf(entry)] = value;
        values = JSON.parse(core.adjust(JSON.stringify(next), entry.key));
        form.show(values);
        recalculate();
        remember();
    }

    // ---- setup files and share links

    function say(text) {
        var message = el("message");
        message.textContent = text;
        message.hidden = !text;
    }

    // Opens a setup text; a text the core refuses changes nothing.
    function openSetup(text, source) {
        var read = JSON.parse(core.readSetup(text));
        if (read.error) {
            say(source + ": " + read.error);
            return false;
        }
        say("");
        el("setup-name").value = read.name;
        setValues(read.values);
        return true;
    }

    function setupText() {
        return core.setupText(JSON.stringify(values), el("setup-name").value);
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
        var text;
        try {
            text = fromBase64Url(hash.slice(LINK_PREFIX.length));
        } catch (e) {
            text = null;
        }
        var source = el("share").dataset.refused;
        if (text === null) say(source + ": " + el("share").dataset.unreadable);
        else openSetup(text, source);
        // The setup now lives in the form (and the store); a reload shows it from there.
        history.replaceState(null, "", window.location.pathname + window.location.search);
    }

    function shareLink() {
        var url = window.location.href.split("#")[0] + LINK_PREFIX + toBase64Url(setupText());
        var field = el("share-link");
        field.value = url;
        field.hidden = false;
        field.select();
        if (navigator.clipboard) navigator.clipboard.writeText(url).catch(function () {});
    }

    function fileName() {
        var name = el("setup-name").value.trim().replace(/[\\/:*?"<>|\u0000-\u001f]+/g, "_");
        return (name || "setup") + ".capacimo";
    }

    function save() {
        var blob = new Blob([setupText()], { type: "application/json" });
        var link = document.createElement("a");
        link.href = URL.createObjectURL(blob);
        link.download = fileName();
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(function () { URL.revokeObjectURL(link.href); }, 0);
    }

    function openFile(file) {
        if (!file) return;
        file.text().then(function (text) { openSetup(text, file.name); },
                         function (error) { say(file.name + ": " + error.message); });
    }

    // ---- print: every entry with its value beside the results and the breakdown

    function pageCaption(id) {
        var found = "";
        (function search(pages) {
            pages.forEach(function (page) {
                if (page.id === id) found = page.caption;
                if (page.pages) search(page.pages);
            });
        })(table.pages);
        return found;
    }

    // The setup as the printed report lists it: every entry with its value
    // as the form shows it, kept up to date so that any way of printing has it.
    var printedValues = [];
    function buildPrintedSetup() {
        var body = el("print-setup").tBodies[0];
        table.entries.forEach(function (entry) {
            var tr = body.insertRow();
            var th = document.createElement("th");
            th.scope = "row";
            th.textContent = (entry.group ? pageCaption(entry.page) + " " : "") + entry.caption;
            tr.appendChild(th);
            printedValues.push(tr.insertCell());
        });
    }

    function showPrintedSetup() {
        table.entries.forEach(function (entry, index) {
            var text = entry.items ? entry.items[values[index]] : String(values[index]);
            if (printedValues[index].textContent !== text) printedValues[index].textContent = text;
        });
        el("print-name").textContent = el("setup-name").value;
    }

    function beforePrint() {
        details.forPrint(true);
        recalculate();
    }

    function afterPrint() {
        details.forPrint(false);
        recalculate();
    }

    // ---- start

    function start(module) {
        core = module;
        table = JSON.parse(core.entries());
        document.title = table.title + " \u2013 " + document.title;
        el("title").textContent = table.title;
        var reset = el("reset");
        reset.textContent = table.reset.caption;
        reset.title = table.reset.hint;
        var head = el("results").tHead.rows[0];
        table.result_columns.forEach(function (caption, i) { head.cells[i].textContent = caption; });

        form = CapacimoForm.build(el("form"), table, changed);
        buildPrintedSetup();
        el("form").addEventListener("submit", function (event) { event.preventDefault(); });
        details = CapacimoDetails.create(el("details"), el("details-toggle"), core, table, recalculate);
        var store = storage();
        el("setup-name").value = (store && store.getItem(NAME_KEY)) || "";
        values = loadStored();
        form.show(values);
        recalculate();
        performance.mark("capacimo-first-result");
        openLink();

        reset.addEventListener("click", function () {
            setValues(JSON.parse(core.defaults()));
        });
        el("setup-name").addEventListener("input", function () {
            showPrintedSetup();
            remember();
        });
        el("save").addEventListener("click", save);
        el("open").addEventListener("click", function () { el("open-file").click(); });
        el("open-file").addEventListener("change", function (event) {
            openFile(event.target.files[0]);
            event.target.value = "";
        });
        el("share").addEventListener("click", shareLink);
        el("print").addEventListener("click", function () { window.print(); });
        window.addEventListener("beforeprint", beforePrint);
        window.addEventListener("afterprint", afterPrint);
        window.addEventListener("hashchange", openLink);
        document.body.classList.add("ready");
    }

    createCapacimoCore().then(start, function (error) {
        el("status").textContent = String(error);
        el("status").className = "status error";
    });
})();
