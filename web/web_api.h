// The calculation core as the web page sees it: a few functions that take and
// give JSON text, so that the page holds no rule, range, text or number of
// its own. Entries cross as one number per row of the entry table (entries()).
// web/binding.cpp hands them to the page; they are plain C++, so that native
// programs (the fuzz targets) call them as the page does.
#pragma once

#include <string>

namespace capacimo::web {

// The entry table, with the result table's headings, the Details' fixed
// words (the title and the retention target's line) and the setup file's
// extension and longest name.
std::string entries();
// The Reset values.
std::string defaults();
// The colour ("#b00000") to draw text of that colour in on a background
// ("#262626"), by the contrast rule of every colour of the program: as it is
// on a light background, lightened just enough on a dark one. A text that is
// no such colour comes back as it was.
std::string readableColour(const std::string& colour, const std::string& background);
// The heaviest setup the form allows (every writer busy), the one the
// benchmarks time and the tests lay out at its largest.
std::string heaviest();
// The values after the entry with this key changed: its dependent counts set.
std::string adjust(const std::string& valuesJson, const std::string& changedKey);
// The values a store of texts gives: a JSON object from each entry's stored
// name to its text. Anything that is not a text counts as missing.
std::string fromStore(const std::string& storedJson);
// What capacimo-calc --json prints for a setup file's text and these options.
// With the option "words": true the reply's last member, "words", holds the
// result's breakdown, durations without each writer and plan in the words
// every report uses: one reply, whatever was asked before.
std::string calculate(const std::string& setupJson, const std::string& optionsJson);
// The same for the values of the form, as typed (also beyond a field's range).
std::string calculateValues(const std::string& valuesJson, const std::string& optionsJson);
// The setup file of these values and this name; empty for values that are not
// one whole number per entry.
std::string setupText(const std::string& valuesJson, const std::string& name);
// A setup file's text as values: {"values": [...], "name", "defaulted": [keys]},
// or {"error": "..."} when the file is refused.
std::string readSetup(const std::string& text);

// ---- The plant (web/plant_api.cpp)
//
// Unlike the calls above, these share one state: the module holds ONE plant
// (the recorders with their rows, the margin, the day they are judged
// against and the order the table is sorted in), which every call reads or
// changes. The page keeps nothing of it but what it stores: the plant's CSV
// text and the margin.
//
// Every answer is a JSON object. A view is
//   {"today": "2026-03-14", "margin": 7,
//    "sort": {"column": "read_out_by", "order": "ascending"},
//    "rows": [row, ...] (in the plant's order),
//    "order": [indices into rows, in the table's order],
//    "totals": {"recorders": 3, "overdue": 1, "due": 0, "short": 1}}
// and a row {"cells": [a text per column of entries()'s "plant" columns],
// "state": "overdue", "start": "2026-01-05" or "" (or the text of a start
// its file held that was refused, with "start_refused": why)}. A view also
// has "kept", the rows of its file that could not be read ({"before",
// "text", "problem"}), and "unread", what a save writes back unread in a few
// words (empty when nothing). A refused call answers {"error": "..."} and
// changes nothing.

// The day the rows are judged against ("2026-03-14"; the page passes the
// browser's local date): a view.
std::string plantToday(const std::string& date);
// The plant as it is: a view.
std::string plantView();
// A new recorder at the plant's end, from a change {"values": [...], "name":
// "...", "start": "2026-03-14" or ""} (each optional; a missing one keeps the
// Reset value, no name, no start): a view with "index", the new row's.
std::string plantAdd(const std::string& changeJson);
// The recorder at index changed as changeJson says (values, name and start as
// for plantAdd; what it leaves out stays): {"index", "row", "order", "totals"}.
// Only this recorder is calculated again.
std::string plantEdit(int index, const std::string& changeJson);
// What the calculator needs to show the recorder at index:
// {"values": [...], "name": "...", "start": "..."}.
std::string plantRecorder(int index);
// A copy of the recorder at index, right after it: a view with "index", the copy's.
std::string plantDuplicate(int index);
// Takes the recorder at index out: a view with "removed", the recorder as
// plantRestore takes it back (its index, setup, name, start and target).
std::string plantRemove(int index);
// Puts a removed recorder back at its place: a view with "index".
std::string plantRestore(const std::string& removedJson);
// The plant's margin in days, as typed (a whole number in entries()'s plant
// "margin" range): a view.
std::string plantMargin(const std::string& days);
// The table's order by a column id and "ascending" or "descending":
// {"sort", "order"}; every later answer keeps it.
std::string plantSort(const std::string& column, const std::string& order);
// A plant file's bytes (the plant CSV in any encoding its reader takes: the
// page hands over the file's bytes, not a browser's reading of them) read in
// place of the plant, with this margin: a view with "problems" and "notes"
// (one line each, naming line and column; the rows that could be read are in
// the plant, those that could not are kept in its "kept" rows) and
// "fileError" (the file refused as a whole, also for more than the 10,000
// recorders or the bytes the page holds: the plant stays as it was). A
// margin that is not one is the default, with a problem that says so.
// Adding, duplicating and restoring refuse a recorder beyond those 10,000 too.
std::string plantLoad(const std::string& bytes, const std::string& margin);
// The plant anew from rows of its file, one text each, or {"row", "columns"}
// with the header of the row's columns where a row sets entries that a plant
// names only when set (as plantRowText gave them, or kept rows' texts and
// columns), with this margin, as the browser's store keeps them: a view with "problems", "notes" and "sources", which
// says for each given row what became of it: {"recorder": index}, {"kept": index into the view's "kept"} or {}
// (nothing: an empty row, or beyond the 10,000).
std::string plantLoadRows(const std::string& rowsJson, const std::string& margin);
// The recorder at index as its file's row: {"row": "Boiler 1,2026-03-14,..."},
// with "columns", the header of its columns, where it sets entries that a
// plant names only when set (plantFileColumns).
std::string plantRowText(int index);
// A recorder from its file's row, put at index: in place of the one there,
// or before it when insert is true (index may then be the plant's size):
// {"index", "row", "order", "totals"} as plantEdit answers; a row that holds
// no recorder is refused with its reason. columns is the row's header, or
// empty for a plant's that sets none of those entries.
std::string plantSetRow(int index, const std::string& row, const std::string& columns, bool insert);
// The plant as its CSV file: the same bytes capacimo-calc --save-setup writes
// for the same plant.
std::string plantCsv();
// The recorders as one iCalendar file (.ics), their read-out days as events.
std::string plantCalendarText();

}  // namespace capacimo::web
