// The plant in the browser's store, one value per recorder, so that two tabs
// that change different recorders at the same moment never write over each
// other: each change writes the one recorder it changed. A recorder's value
// is {"at": its place, "row": its row of the plant file}; the places order
// the plant (two tabs that add at once make two recorders, told apart by
// their ids). A row that sets entries a plant file names only when set (the
// alarms, the card's reserve) has "columns" too, the header of its row's
// columns. The margin is a value of its own. A value the page cannot read
// is never written over: it stays in the store, is named, and can be
// downloaded. The module holds the plant; this file keeps the store in step
// with it and takes other tabs' changes into it.
"use strict";

var CapacimoPlantStore = (function () {
    var PREFIX = "capacimo/plant/";
    var ROW = PREFIX + "r/";
    var MARGIN = PREFIX + "margin";
    var FORMER = "capacimo/plant";  // the whole plant as one value, {"margin", "csv"}, as pages before kept it
    var RECENT = 5000;              // ms: a change of this tab that another tab's change of the recorder overrides

    // An id no other tab makes: this tab's own random part, then a count.
    // (Random ids alone collide often enough in a plant of thousands to lose
    // a recorder.)
    var TAB = Date.now().toString(36) + Math.random().toString(36).slice(2, 10) + "-";
    var made = 0;
    function newId() {
        made += 1;
        return TAB + made.toString(36);
    }

    // The order of the plant: by place, then by id.
    function before(a, b) {
        return a.at !== b.at ? a.at < b.at : a.id < b.id;
    }

    // Every recorder value of the store, in the plant's order, and the ones
    // that cannot be read: [{key, value}].
    function readValues(s) {
        var entries = [];
        var unreadable = [];
        for (var i = 0; i < s.length; ++i) {
            var key = s.key(i);
            if (key === null || key.indexOf(ROW) !== 0) continue;
            var value = s.getItem(key);
            var entry = parseEntry(key.slice(ROW.length), value);
            if (entry) entries.push(entry);
            else unreadable.push({ key: key, value: value });
        }
        entries.sort(function (a, b) { return before(a, b) ? -1 : before(b, a) ? 1 : 0; });
        return { entries: entries, unreadable: unreadable };
    }

    function parseEntry(id, value) {
        try {
            var o = JSON.parse(value);
            if (o && typeof o.row === "string" && typeof o.at === "number" && isFinite(o.at) &&
                (o.columns === undefined || typeof o.columns === "string")) {
                return { id: id, at: o.at, text: o.row, columns: o.columns, kind: null };
            }
        } catch (e) {
            // not the page's value: named below
        }
        return null;
    }

    // page: {ask, store(fn), say(text)}; words: the texts to say.
    function create(page, words) {
        var s = { page: page, words: words, entries: [], unreadable: [], former: [], recent: {}, margin: null };
        return {
            start: function () { return start(s); },
            reload: function () { return reload(s); },
            added: function (index) { placeRecorder(s, index, null); },
            edited: function (index) { edited(s, index); },
            duplicated: function (index) { placeRecorder(s, index, null); },
            removed: function (index) { return removed(s, index); },
            restored: function (index, token) { placeRecorder(s, index, token); },
            replaced: function (view) { replaced(s, view); },
            marginChanged: function (days) { writeMargin(s, days); },
            unreadable: function () { return s.former.concat(s.unreadable); },
            follow: function (event) { return follow(s, event); }
        };
    }

    // ---- reading

    // The plant from the store (a plant kept the former way taken over
    // first): the module's view, or null when there is none to show.
    function start(s) {
        var taken = takeOverFormer(s);
        var view = reload(s);
        return taken || view;
    }

    function reload(s) {
        var read = s.page.store(readValues) || { entries: [], unreadable: [] };
        var margin = s.page.store(function (st) { return st.getItem(MARGIN); });
        s.margin = margin === null ? String(s.words.margin) : margin;
        s.unreadable = read.unreadable;
        var view = s.page.ask("plantLoadRows", JSON.stringify(read.entries.map(storedRow)), s.margin);
        if (!view || view.error) return null;
        // What became of each value: a recorder, a kept row, or nothing
        // (beyond what the page holds), which stays in the store untouched.
        s.entries = [];
        view.sources.forEach(function (source, i) {
            var kind = "recorder" in source ? "recorder" : "kept" in source ? "kept" : null;
            if (kind) s.entries.push(Object.assign(read.entries[i], { kind: kind }));
        });
        return view;
    }

    // A plant the page kept as one value before: its rows written the new
    // way, then the old value removed. One that cannot be read stays.
    function takeOverFormer(s) {
        var text = s.page.store(function (st) { return st.getItem(FORMER); });
        if (text === null || s.page.store(function (st) { return st.getItem(MARGIN); }) !== null) return null;
        var former = null;
        try {
            former = JSON.parse(text);
        } catch (e) {
            former = null;
        }
        var view = former && typeof former.csv === "string"
            ? s.page.ask("plantLoad", former.csv, String(former.margin)) : null;
        if (!view || view.error || view.fileError) {
            s.former = [{ key: FORMER, value: text }];
            return null;
        }
        replaced(s, view);
        if (writeMargin(s, view.margin)) s.page.store(function (st) { st.removeItem(FORMER); });
        return null;
    }

    // ---- writing: each change the one value it changed

    // A row as the module reads it back: its text, with its columns' header where it has one.
    function storedRow(entry) {
        return entry.columns === undefined ? entry.text : { row: entry.text, columns: entry.columns };
    }

    function write(s, entry) {
        var ok = s.page.store(function (st) {
            st.setItem(ROW + entry.id, JSON.stringify({ at: entry.at, row: entry.text, columns: entry.columns }));
            return true;
        });
        if (!ok) s.page.say(s.words.tooLarge + ".");
        return Boolean(ok);
    }

    function writeMargin(s, days) {
        s.margin = String(days);
        return Boolean(s.page.store(function (st) {
            st.setItem(MARGIN, s.margin);
            return true;
        }));
    }

    // The place in entries of the recorder at index, or of the plant's end.
    function entryAt(s, index) {
        var seen = -1;
        for (var i = 0; i < s.entries.length; ++i) {
            if (s.entries[i].kind === "recorder" && ++seen === index) return i;
        }
        return s.entries.length;
    }

    // The recorder's row: {text, columns}, or null.
    function rowText(s, index) {
        var answer = s.page.ask("plantRowText", index);
        return answer && !answer.error ? { text: answer.row, columns: answer.columns } : null;
    }

    function edited(s, index) {
        var entry = s.entries[entryAt(s, index)];
        var row = rowText(s, index);
        if (!entry || row === null || (row.text === entry.text && row.columns === entry.columns)) return;
        entry.text = row.text;
        entry.columns = row.columns;
        s.recent[entry.id] = Date.now();
        write(s, entry);
    }

    // A recorder the module has put at index (added, a copy, or one taken
    // back, whose id and place the token keeps): its value, in its place.
    function placeRecorder(s, index, token) {
        var at = entryAt(s, index);
        var row = rowText(s, index);
        if (row === null) return;
        var previous = s.entries[at - 1];
        var next = s.entries[at];
        var place = token ? token.at : previous === undefined ? (next ? next.at - 1 : 1)
            : next === undefined ? previous.at + 1 : (previous.at + next.at) / 2;
        var entry = { id: token ? token.id : newId(), at: place, text: row.text, columns: row.columns, kind: "recorder" };
        s.entries.splice(at, 0, entry);
        if (previous && next && !(previous.at < place && place < next.at) && !token) renumber(s);
        else write(s, entry);
    }

    // Places run out between two neighbours after many copies: all anew.
    function renumber(s) {
        s.entries.forEach(function (entry, i) {
            entry.at = i + 1;
            write(s, entry);
        });
    }

    function removed(s, index) {
        var at = entryAt(s, index);
        var entry = s.entries.splice(at, 1)[0];
        if (!entry) return null;
        s.page.store(function (st) { st.removeItem(ROW + entry.id); });
        return { id: entry.id, at: entry.at };
    }

    // A plant imported in place of the old one: the old values go, the new
    // come in the file's order, its kept rows in their places.
    function replaced(s, view) {
        s.entries.forEach(function (entry) { s.page.store(function (st) { st.removeItem(ROW + entry.id); }); });
        s.entries = [];
        var kept = view.kept || [];
        var k = 0;
        var addKept = function (recorders) {
            for (; k < kept.length && kept[k].before <= recorders; ++k) {
                s.entries.push({ id: newId(), at: s.entries.length + 1, text: kept[k].text, columns: kept[k].columns,
                                 kind: "kept" });
            }
        };
        for (var i = 0; i < view.rows.length; ++i) {
            addKept(i);
            var row = rowText(s, i) || { text: "", columns: undefined };
            s.entries.push({ id: newId(), at: s.entries.length + 1, text: row.text, columns: row.columns,
                             kind: "recorder" });
        }
        addKept(view.rows.length);
        s.entries.every(function (entry) { return write(s, entry); });
    }

    // ---- another tab's changes

    // Takes another tab's change of the store into the module: what the
    // store holds now, which the last writer wrote. The answer says what
    // changed: {view} when the whole plant was read again (or its margin
    // changed), {change: "edit" | "insert" | "remove", index, answer} for one
    // recorder, or null for nothing.
    function follow(s, event) {
        if (event.key === MARGIN) return marginFollowed(s);
        if (event.key !== null && event.key.indexOf(ROW) !== 0) return null;
        var change = event.key === null ? null : rowFollowed(s, event.key);
        return change === undefined ? null : change || { view: reload(s) };
    }

    function marginFollowed(s) {
        var margin = s.page.store(function (st) { return st.getItem(MARGIN); });
        if (margin === null || margin === s.margin) return null;
        s.margin = margin;
        var view = s.page.ask("plantMargin", margin);
        return view && !view.error ? { view: view } : null;
    }

    // One recorder's value changed: what the module made of it; undefined
    // for no change, null when the plant must be read again.
    function rowFollowed(s, key) {
        var id = key.slice(ROW.length);
        var value = s.page.store(function (st) { return st.getItem(key); });
        var at = s.entries.findIndex(function (e) { return e.id === id; });
        var entry = at < 0 ? null : s.entries[at];
        var next = value === null ? null : parseEntry(id, value);
        if (entry ? next && entry.text === next.text && entry.columns === next.columns : !next) return undefined;
        if ((entry && entry.kind !== "recorder") || (value !== null && !next)) return null;
        if (entry && s.recent[id] > Date.now() - RECENT) s.page.say(s.words.changedElsewhere);
        var index = recorderIndex(s, entry ? at : placeOf(s, next));
        if (!next) {
            s.entries.splice(at, 1);
            return { change: "remove", index: index, answer: s.page.ask("plantRemove", index) };
        }
        var answer = s.page.ask("plantSetRow", index, next.text, next.columns || "", !entry);
        if (!answer || answer.error) return null;
        if (entry) {
            entry.text = next.text;
            entry.columns = next.columns;
        }
        else s.entries.splice(placeOf(s, next), 0, Object.assign(next, { kind: "recorder" }));
        return { change: entry ? "edit" : "insert", index: index, answer: answer };
    }

    // Where an entry belongs among the others, by its place.
    function placeOf(s, entry) {
        var place = s.entries.findIndex(function (e) { return before(entry, e); });
        return place < 0 ? s.entries.length : place;
    }

    function recorderIndex(s, at) {
        return s.entries.slice(0, at).filter(function (e) { return e.kind === "recorder"; }).length;
    }

    return { create: create, FORMER: FORMER, PREFIX: PREFIX };
})();
