// Opens the page ROUNDS times in headless chromium, chooses the sample image each time
// and changes the countdown each time, and prints the medians of what the page itself
// measured: from choosing the file to its settings shown, and from a change to its
// check by the core.
//
//   node bench/web.js PAGE-FOLDER IMAGE ROUNDS
'use strict';

const puppeteer = require('puppeteer-core');

const [pageFolder, image, rounds] = process.argv.slice(2);

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update'],
  });
  const open = [];
  const check = [];
  const shown = [];
  for (let round = 0; round < Number(rounds); round++) {
    const page = await browser.newPage();
    await page.goto(`file://${pageFolder}/index.html`);
    await page.waitForSelector('body[data-ready="true"]');
    const started = Date.now();
    await (await page.$('#image-file')).uploadFile(image);
    await page.waitForFunction(() => !document.getElementById('editor').hidden);
    shown.push(Date.now() - started);
    await page.$eval('#setting-cntval', control => {
      control.value = '25';
      control.dispatchEvent(new Event('input'));
    });
    const measures = await page.evaluate(() => performance.getEntriesByType('measure').map(m => [m.name, m.duration]));
    open.push(...measures.filter(([name]) => name === 'vornset-open').map(([, duration]) => duration));
    check.push(...measures.filter(([name]) => name === 'vornset-check').slice(-1).map(([, duration]) => duration));
    await page.close();
  }
  await browser.close();
  console.log(`${rounds} rounds, medians: settings shown ${median(open).toFixed(1)} ms after the file was chosen `
    + `(${median(shown)} ms as puppeteer sees it, from handing over the file); a change checked in ${median(check).toFixed(2)} ms`);
})();
