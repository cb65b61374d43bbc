// The calculator's form, built from the core's entry table: the card size,
// the pages with their tabs and every field with its caption. Nothing here
// knows a caption, range, list or default; the table brings them all.
"use strict";

var CapacimoForm = (function () {
    function element(tag, attributes, text) {
        var node = document.createElement(tag);
        Object.keys(attributes || {}).forEach(function (name) {
            node.setAttribute(name, attributes[name]);
        });
        if (text !== undefined) node.textContent = text;
        return node;
    }

    // A tab list over panels, as the ARIA authoring practices describe it:
    // one tab in the Tab order, the arrow keys, Home and End move between tabs
    // and show the tab's panel at once.
    function tabList(host, pages, label, onShow) {
        var list = element("div", { role: "tablist", "aria-label": label, class: "tabs" });
        host.appendChild(list);
        var tabs = [];
        var panels = {};
        pages.forEach(function (page, index) {
            var tab = element("button", {
                type: "button",
                role: "tab",
                id: "tab-" + page.id,
                "aria-controls": "panel-" + page.id,
                "aria-selected": "false",
                tabindex: "-1"
            }, page.caption);
            var panel = element("div", {
                role: "tabpanel",
                id: "panel-" + page.id,
                "aria-labelledby": tab.id,
                class: "panel"
            });
            panel.hidden = true;
            tab.addEventListener("click", function () { select(index); });
            tab.addEventListener("keydown", function (event) {
                var next = { ArrowRight: index + 1, ArrowLeft: index - 1, Home: 0, End: tabs.length - 1 }[event.key];
                if (next === undefined) return;
                event.preventDefault();
                select((next + tabs.length) % tabs.length);
                tabs[(next + tabs.length) % tabs.length].focus();
            });
            list.appendChild(tab);
            host.appendChild(panel);
            tabs.push(tab);
            panels[page.id] = panel;
        });
        function select(index) {
            tabs.forEach(function (tab, i) {
                var chosen = i === index;
                tab.setAttribute("aria-selected", String(chosen));
                tab.tabIndex = chosen ? 0 : -1;
                document.getElementById(tab.getAttribute("aria-controls")).hidden = !chosen;
            });
            if (onShow) onShow(pages[index]);
        }
        select(0);
        return { panels: panels, select: select };
    }

    // A count field: typed digits are used as typed (also beyond the range)
    // until the field is left, when the number comes back into its range; an
    // emptied field changes nothing and gets its number back when left. The
    // arrow keys step it within its range.
    function countField(entry, id, onChange) {
        var input = element("input", {
            id: id,
            type: "text",
            inputmode: "numeric",
            autocomplete: "off",
            role: "spinbutton",
            "aria-valuemin": entry.min,
            "aria-valuemax": entry.max,
            class: "count"
        });
        var atFocus = "";
        input.addEventListener("focus", function () { atFocus = input.value; });
        input.addEventListener("input", function () {
            var digits = input.value.replace(/[^0-9]/g, "");
            if (digits !== input.value) input.value = digits;
            if (digits === "") return;
            onChange(entry, Number(digits));
        });
        input.addEventListener("blur", function () {
            var restored = input.value === "";
            if (restored) input.value = atFocus;
            if (input.value === "") return;
            var value = Number(input.value);
            var clamped = Math.min(Math.max(value, entry.min), entry.max);
            if (restored || clamped !== value || input.value !== String(value)) onChange(entry, clamped);
        });
        input.addEventListener("keydown", function (event) {
            var step = { ArrowUp: 1, ArrowDown: -1 }[event.key];
            if (step === undefined) return;
            event.preventDefault();
            var value = input.value === "" ? entry.min : Number(input.value);
            var next = Math.min(Math.max(value + step, entry.min), entry.max);
            if (next !== value) onChange(entry, next);
        });
        return input;
    }

    function listField(entry, id, onChange) {
        var select = element("select", { id: id });
        entry.items.forEach(function (item, index) {
            select.appendChild(element("option", { value: String(index) }, item));
        });
        select.addEventListener("change", function () { onChange(entry, select.selectedIndex); });
        return select;
    }

    // Builds the form into host. onChange(entry, value) is called for every
    // change a person makes, also for each keystroke in a count field.
    function build(host, table, onChange) {
        var fields = [];
        var general = element("div", { class: "general" });
        host.appendChild(general);
        var outer = tabList(host, table.pages, table.title, function (page) {
            // Coming back to a page of pages opens it on its first page.
            if (page.pages && inner && inner[page.id]) inner[page.id].select(0);
        });
        var inner = {};
        var panels = { general: general };
        table.pages.forEach(function (page) {
            var panel = outer.panels[page.id];
            if (page.lines) {
                var text = element("div", { class: "information", tabindex: "0", "aria-label": page.caption });
                page.lines.forEach(function (line) { text.appendChild(element("p", {}, line)); });
                panel.appendChild(text);
            }
            if (page.pages) {
                inner[page.id] = tabList(panel, page.pages, page.caption);
                Object.keys(inner[page.id].panels).forEach(function (id) { panels[id] = inner[page.id].panels[id]; });
            } else {
                panels[page.id] = panel;
            }
        });
        table.entries.forEach(function (entry, index) {
            var id = "field-" + entry.key;
            var row = element("div", { class: "row" });
            row.appendChild(element("label", { for: id }, entry.caption));
            var control = entry.items ? listField(entry, id, onChange) : countField(entry, id, onChange);
            row.appendChild(control);
            panels[entry.page].appendChild(row);
            fields[index] = control;
        });
        return {
            // Shows a set of values; a field being typed into keeps its text.
            show: function (values) {
                fields.forEach(function (control, index) {
                    var value = values[index];
                    if (control.tagName === "SELECT") {
                        if (control.selectedIndex !== value) control.selectedIndex = value;
                    } else if (Number(control.value) !== value || control.value === "" ||
                               (document.activeElement !== control && control.value !== String(value))) {
                        control.value = String(value);
                    }
                    if (control.tagName !== "SELECT" && control.getAttribute("aria-valuenow") !== String(value)) {
                        control.setAttribute("aria-valuenow", String(value));
                    }
                });
            },
            field: function (index) { return fields[index]; }
        };
    }

    return { build: build, element: element };
})();
