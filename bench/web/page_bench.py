"""The web page's figures in headless Chromium: the first result on screen
after navigation (file://), a keystroke to refreshed results with the
heaviest setup (with and without Details open, for the initial target and for
four weeks on the SD card), and the bytes the page loads.
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

# The heaviest setup's values, from the module's entry table.
HEAVIEST = """
const t = JSON.parse(m.entries());
const values = JSON.stringify(t.entries.map(e => e.option === 'cycle'
  ? (e.group === 1 ? e.items.indexOf('100ms') : e.items.indexOf('1s'))
  : e.option === 'analysis1' ? e.items.indexOf('1min') : e.option === 'card' ? 0
  : e.items ? e.items.indexOf('daily analysis') : ['analog', 'digital-events', 'values'].includes(e.option) ? e.max : 0));"""
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
  const options = JSON.stringify({breakdown: true, target: '4w', medium: 'sd'});
  for (let i = 0; i < 40; ++i) m.calculateValues(values, options);
  const times = [];
  for (let i = 0; i < 41; ++i) {
    const start = performance.now();
    m.calculateValues(values, options);
    m.words();
    times.push(performance.now() - start);
  }
  times.sort((a, b) => a - b);
  done(times[20]);
});""" % HEAVIEST))
driver.quit()

total = sum(f.stat().st_size for f in page.iterdir() if f.is_file())
print("the page with everything it loads: %.0f kB (%s)" % (total / 1000, ", ".join(sorted(f.name for f in page.iterdir()))))
