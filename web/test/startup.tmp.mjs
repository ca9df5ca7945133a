import puppeteer from 'puppeteer-core';
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run'] });
const times = [];
for (let i = 0; i < 7; i++) {
  const page = await browser.newPage();
  await page.goto(process.argv[2]);
  await page.waitForSelector('body[data-engine=ready]');
  times.push(+(await page.$eval('body', (b) => b.dataset.startupMs)));
  await page.close();
}
console.log(times.join(' '), 'median', times.sort((a, b) => a - b)[3]);
await browser.close();
