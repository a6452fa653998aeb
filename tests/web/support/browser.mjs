// Starts the machine's Chromium (Debian package) through playwright-core. Tests never download a
// browser: without /usr/bin/chromium they fail with a pointer to the set-up script.
import fs from 'node:fs';
import { chromium } from 'playwright-core';

export const chromiumPath = '/usr/bin/chromium';

// Playwright gives every launch a fresh, temporary user-data dir and removes it on close.
export async function launchBrowser() {
    if (!fs.existsSync(chromiumPath)) {
        throw new Error(`${chromiumPath} is missing: install the Debian package "chromium" (tools/setup.sh does)`);
    }
    return chromium.launch({
        executablePath: chromiumPath,
        headless: true,
        args: [
            '--headless',
            '--no-sandbox',
            '--disable-gpu',
            '--no-first-run',
            '--disable-background-networking',
            '--disable-component-update',
            '--disable-sync',
        ],
    });
}

// Opens `url` in a new page and collects console errors and uncaught exceptions in page.problems.
export async function openPage(context, url) {
    const page = await context.newPage();
    page.problems = [];
    page.on('pageerror', (error) => page.problems.push(String(error)));
    page.on('console', (message) => {
        if (message.type() === 'error') page.problems.push(message.text());
    });
    await page.goto(url);
    return page;
}

// Waits until the player script has loaded the scene and shows the play call.
export async function waitForReady(page, timeout = 30000) {
    await page.waitForFunction(() => window.orva && !document.getElementById('play').hidden, null, { timeout });
}
