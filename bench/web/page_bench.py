"""The web page's figures in headless Chromium: the first result on screen
after navigation (file://), a keystroke to refreshed results with the
heaviest setup (with and without Details open, for the initial target and for
four weeks on the SD card), the Plant view with 1,000 and 10,000 recorders
(import, re-sort, one row's edit), and the bytes the page loads.
Usage: /usr/bin/python3 bench/web/page_bench.py build-web/web
"""

import statistics
import sys
import tempfile
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

page = Path(sys.argv[1]).resolve()
profile = tempfile.TemporaryDirectory()
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile.name, "--window-size=1280,800"):
    options.add_argument(flag)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
url = (page / "index.html").as_uri()


def load(target=url):
    driver.get(target)
    WebDriverWait(driver, 10).until(lambda d: d.execute_script("return document.body.classList.contains('ready')"))


load()
first = []
for _ in range(10):
    load()
    first.append(driver.execute_script("return performance.getEntriesByName('capacimo-first-result')[0].startTime"))
print("first result on screen after navigation: median %.0f ms (10 loads)" % statistics.median(first))

# The heaviest setup's values, from the module.
HEAVIEST = """
const values = m.heaviest();"""
# The heaviest setup, opened from a share link the module writes.
heaviest = driver.execute_async_script("""
const done = arguments[0];
createCapacimoCore().then(m => {%s
  const text = new TextEncoder().encode(m.setupText(values, 'heaviest'));
  done(btoa(String.fromCharCode(...text)).replace(/\\+/g, '-').replace(/\\//g, '_').replace(/=+$/, ''));
});""" % HEAVIEST)
load(url + "#setup=" + heaviest)

KEYSTROKES = """
const field = document.getElementById('field-spe_CountAnalogIntegr');
const times = [];
for (let i = 0; i < 40; ++i) {
  field.value = String(i % 2);
  const start = performance.now();
  field.dispatchEvent(new Event('input'));
  document.getElementById('results').offsetHeight;  // the refreshed table laid out
  times.push(performance.now() - start);
}
times.sort((a, b) => a - b);
return times[20];"""
print("keystroke to refreshed results, heaviest setup: median %.2f ms" % driver.execute_script(KEYSTROKES))
driver.find_element("id", "details-toggle").click()
print("the same with Details open (breakdown, without each writer, 26-week plan): median %.2f ms"
      % driver.execute_script(KEYSTROKES))
# Four weeks on the SD card, which neither a card nor any one group reaches:
# the planner searches every list to its end.
driver.execute_script("""
const weeks = document.getElementById('target-weeks');
weeks.value = '4';
weeks.dispatchEvent(new Event('input'));
const medium = document.getElementById('target-medium');
medium.value = 'sd';
medium.dispatchEvent(new Event('change'));""")
print("the same with a 4-week plan for the SD card: median %.2f ms" % driver.execute_script(KEYSTROKES))
# Of that, the module's answer alone, on a module of its own in the same page,
# warmed up as the page's is by then.
print("of which the module's answer (breakdown and 4-week plan): median %.2f ms" % driver.execute_async_script("""
const done = arguments[0];
createCapacimoCore().then(m => {%s
  const options = JSON.stringify({breakdown: true, words: true, target: '4w', medium: 'sd'});
  for (let i = 0; i < 40; ++i) m.calculateValues(values, options);
  const times = [];
  for (let i = 0; i < 41; ++i) {
    const start = performance.now();
    m.calculateValues(values, options);
    times.push(performance.now() - start);
  }
  times.sort((a, b) => a - b);
  done(times[20]);
});""" % HEAVIEST))

# The Plant view: a plant of n recorders, each setup of its own and a start
# of its own, imported as a file: its bytes to the table laid out (its first
# page of 50 rows) and every recorder in the browser's store. Then a re-sort
# by a header, and one row's start changed in place (and stored).
def plant_text(n):
    cycles = ["100ms", "1s", "10s", "1min"]
    rows = ["name,start,analog,digital-events,analysis1,group1.cycle,group1.values"]
    for i in range(n):
        rows.append("Recorder %d,2026-%02d-%02d,%d,%d,%s,%s,%d" % (
            i + 1, 1 + i % 12, 1 + i % 28, i % 41, i % 15, "1min" if i % 3 else "no", cycles[i % 4], i % 9))
    return "\n".join(rows) + "\n"


PLANT = """
const [text, done] = arguments;
document.getElementById('view-plant').click();
const input = document.getElementById('plant-file');
const files = new DataTransfer();
files.items.add(new File([text], 'plant.csv', {type: 'text/csv'}));
input.files = files.files;
const start = performance.now();
input.dispatchEvent(new Event('change'));
const until = (test) => new Promise((ready) => {
  const look = () => test() ? ready() : setTimeout(look, 0);
  look();
});
const recorders = 'Recorders: ' + (text.split('\\n').length - 2) + ' ';
until(() => document.getElementById('plant-totals').textContent.startsWith(recorders)).then(() => {
document.body.offsetHeight;
const imported = performance.now() - start;
const rows = document.getElementById('plant-totals').textContent;
const shown = document.querySelectorAll('#plant-table tbody tr').length;
const timed = (n, step) => {
  const times = [];
  for (let i = 0; i < n; ++i) {
    const t = performance.now();
    step(i);
    document.body.offsetHeight;
    times.push(performance.now() - t);
  }
  times.sort((a, b) => a - b);
  return times[n >> 1];
};
const columns = ['name', 'internal', 'read_out_by', 'state'];
const sort = timed(20, (i) => document.querySelector('th[data-column=' + columns[i % 4] + '] button').click());
const date = document.querySelectorAll('#plant-table input[type=date]')[shown >> 1];
const edit = timed(20, (i) => { date.value = '2026-03-' + String(10 + i % 10); date.dispatchEvent(new Event('change')); });
setTimeout(() => done([rows, imported, sort, edit]), 0);
});"""
for n in (1000, 10000):
    load()
    driver.set_script_timeout(60)
    rows, imported, sort, edit = driver.execute_async_script(PLANT, plant_text(n))
    assert rows.startswith("Recorders: %d " % n), rows
    print("plant of %d recorders: import %.0f ms, re-sort by a header %.1f ms, one row's start changed %.1f ms (medians of 20)"
          % (n, imported, sort, edit))
driver.execute_script("localStorage.clear()")
driver.quit()

total = sum(f.stat().st_size for f in page.iterdir() if f.is_file())
print("the page with everything it loads: %.0f kB (%s)" % (total / 1000, ", ".join(sorted(f.name for f in page.iterdir()))))
