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

    // A count field, typed as the desktop's spin edit is typed. A typed key
    // that cannot belong to a number is dropped (pasted text is taken as it
    // is). While the field has the focus its text reads as typed when it is
    // a whole number within 32 bits, also beyond the field's range; any
    // other text (a lone sign, a separator, an exponent, letters, a number
    // beyond 32 bits) reads as the field's minimum, and an emptied field
    // changes nothing. Leaving the field brings its text back to the number
    // it reads, within its range; an emptied field gets the number it had
    // when it got the focus. The arrow keys step within the range.
    // range is {min, max}; onChange(range, value) follows every change;
    // first, when given, is its first value.
    var SEPARATOR = (1.5).toLocaleString().charAt(1);
    var INT32 = 2147483648;

    function countValue(text, range) {
        var n = /^[+-]?[0-9]+$/.test(text) ? Number(text) : NaN;
        return n >= -INT32 && n < INT32 ? n : range.min;
    }

    function clamp(value, range) {
        return Math.min(Math.max(value, range.min), range.max);
    }

    function setCount(input, value) {
        if (input.value !== String(value)) input.value = String(value);
        if (input.getAttribute("aria-valuenow") !== String(value)) input.setAttribute("aria-valuenow", String(value));
    }

    function countField(range, id, onChange, first) {
        var input = element("input", {
            id: id,
            type: "text",
            inputmode: "numeric",
            autocomplete: "off",
            role: "spinbutton",
            "aria-valuemin": range.min,
            "aria-valuemax": range.max,
            class: "count"
        });
        if (first !== undefined) setCount(input, first);
        var atFocus = 0;
        function set(value) {
            setCount(input, value);
            onChange(range, value);
        }
        input.addEventListener("focus", function () { atFocus = countValue(input.value, range); });
        input.addEventListener("beforeinput", function (event) {
            if (event.inputType === "insertText" && /[^0-9+-]/.test(event.data.split(SEPARATOR).join(""))) {
                event.preventDefault();
            }
        });
        input.addEventListener("input", function () {
            if (input.value !== "") onChange(range, countValue(input.value, range));
        });
        input.addEventListener("blur", function () {
            var value = clamp(input.value === "" ? atFocus : countValue(input.value, range), range);
            if (input.value !== String(value)) set(value);
        });
        input.addEventListener("keydown", function (event) {
            var step = { ArrowUp: 1, ArrowDown: -1 }[event.key];
            if (step === undefined) return;
            event.preventDefault();
            var value = clamp(countValue(input.value, range) + step, range);
            if (input.value !== String(value)) set(value);
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
            // Shows a set of values; a field being typed into keeps its text
            // while the text reads as the value.
            show: function (values) {
                fields.forEach(function (control, index) {
                    var value = values[index];
                    if (control.tagName === "SELECT") {
                        if (control.selectedIndex !== value) control.selectedIndex = value;
                    } else if (document.activeElement !== control ||
                               (control.value !== "" && countValue(control.value, table.entries[index]) !== value)) {
                        setCount(control, value);
                    }
                });
            },
            field: function (index) { return fields[index]; }
        };
    }

    return { build: build, element: element, countField: countField };
})();
