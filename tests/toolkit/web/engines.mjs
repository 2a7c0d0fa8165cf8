// The three browser engines the page is tested in, each behind the same few
// methods, so that window.test.mjs writes every case once:
//
//   const browser = await engines[name].start();
//   const page = await browser.open({ width, height, phone, profile });   await page.goto(url);
//   page.click(selector, { at, count, force })  page.tap(selector)   page.fill(selector, text)
//   page.type(text)   page.press('Shift+Tab')   page.evaluate(fn, arg)   page.waitFor(fn, arg)
//   page.paste(text)   page.drag(from, to, at)   page.resize(width, height)   page.screenshot(path, clip)
//   page.insertText(text)   page.compose(text)   page.beforeLoad(fn)   page.installabilityErrors()
//   page.close()
//   await browser.stop();
//
// Chromium: Debian's, through playwright-core. Firefox: Debian's ESR over
// WebDriver BiDi, through puppeteer-core. WebKit: WebKitGTK's MiniBrowser
// through Debian's WebKitWebDriver and selenium-webdriver, on the X server
// in DISPLAY. None of the three downloads a browser or a driver.
//
// What an engine's driver cannot do, `lacks` says and why; the cases that
// need it are skipped there. Key names are Playwright's ('Enter', 'Space',
// 'Shift+Tab', 'Control+v'); `at` is a point from an element's top left
// corner, in CSS pixels, clicked or tapped whatever is there (a disabled
// field too); `count: 2` double-clicks. insertText puts text in as a
// keyboard's suggestion or an emoji picker does, compose as an input method
// commits it; beforeLoad runs fn in every page before its own scripts;
// `profile` opens the page in a browser profile kept on disk, as a person's
// is. page.reportedErrors() gives the errors the page reported.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const CHROMIUM_ARGS = ['--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run'];
const PHONE = { width: 390, height: 844 };
const TIMEOUT = 15000;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
let clipboard = Promise.resolve();  // the pastes under way, one after the other

// The middle of an element, or the point `at` from its top left corner, in
// the viewport; scrolled into view first.
function pointIn([selector, at]) {
  const element = document.querySelector(selector);
  if (!element) return null;
  element.scrollIntoView({ block: 'nearest', inline: 'nearest' });
  const r = element.getBoundingClientRect();
  return at ? { x: r.left + at.x, y: r.top + at.y } : { x: r.left + r.width / 2, y: r.top + r.height / 2 };
}

// A text the engine puts on the clipboard itself: selected in a text area
// that is gone again before the paste.
function selectForCopy(text) {
  const area = document.createElement('textarea');
  area.value = text;
  document.body.append(area);
  area.select();
  window.trCopied = area;
}

// What the three have in common, built on evaluate() and the input methods.
class Page {
  errors = [];

  async reportedErrors() { return this.errors; }

  // Until fn(arg) is truthy in the page (an element is, but cannot cross).
  // A page that is loading again (重新打开) answers nothing for a moment.
  async waitFor(fn, arg, timeout = TIMEOUT) {
    const test = ([source, arg]) => Boolean((0, eval)(`(${source})`)(arg));
    for (const end = Date.now() + timeout; ;) {
      let failure;
      try {
        if (await this.evaluate(test, [String(fn), arg ?? null])) return;
      } catch (error) {
        failure = error;
      }
      if (Date.now() > end) throw failure ?? new Error(`waitFor timed out after ${timeout} ms: ${fn}`);
      await pause(25);
    }
  }

  async point(selector, at) {
    const point = await this.evaluate(pointIn, [selector, at ?? null]);
    if (!point) throw new Error(`no element ${selector}`);
    return point;
  }

  // A drag and drop made with the X server's own pointer (xdotool), where
  // the driver's pointer makes none: a real one, which the browser carries
  // out as it would a person's. The page tells where its viewport is on the
  // screen by the first pointer motion it sees.
  async drag(from, to, at) {
    const x11 = (command, ...numbers) => execFileSync('xdotool',
      [command, ...numbers.map((n) => String(Math.round(n)))]);
    await this.evaluate(() => {
      window.trScreen = null;
      addEventListener('mousemove', (e) => { window.trScreen = [e.screenX - e.clientX, e.screenY - e.clientY]; },
        { once: true, capture: true });
    });
    x11('mousemove', 200, 200);
    x11('mousemove', 201, 201);
    await this.waitFor(() => window.trScreen);
    const [dx, dy] = await this.evaluate(() => window.trScreen);
    const start = await this.point(from);
    const end = await this.point(to, at);
    x11('mousemove', start.x + dx, start.y + dy);
    x11('mousedown', 1);
    for (let i = 1; i <= 10; i++) {
      const to = i <= 5 ? { x: start.x + 2 * i, y: start.y + 2 * i } : { x: end.x - 3 * (10 - i), y: end.y };
      x11('mousemove', to.x + dx, to.y + dy);
      await pause(30);
    }
    await pause(100);
    x11('mouseup', 1);
  }

  // Typed over the field's text, as a person would.
  async fill(selector, text) {
    await this.evaluate((selector) => document.querySelector(selector).select(), selector);
    await (text ? this.type(text) : this.press('Delete'));
  }

  // A real paste: the engine copies the text with Ctrl+C and pastes it into
  // the element that has the focus with Ctrl+V. The pages of one browser
  // share its clipboard: one paste at a time.
  paste(text) {
    const pasted = clipboard.then(() => this.copyAndPaste(text));
    clipboard = pasted.catch(() => {});
    return pasted;
  }

  async copyAndPaste(text) {
    const back = await this.evaluate(() => {
      const focused = document.activeElement;
      window.trBack = focused;
      return [focused.selectionStart, focused.selectionEnd];
    });
    await this.evaluate(selectForCopy, text);
    await this.press('Control+c');
    await this.evaluate(([start, end]) => {
      window.trCopied.remove();
      window.trBack.focus();
      window.trBack.setSelectionRange(start, end);
    }, back);
    await this.press('Control+v');
  }
}

// A page of playwright-core's or puppeteer-core's, whose pages are alike.
class PuppetPage extends Page {
  constructor(raw) {
    super();
    this.raw = raw;
    raw.setDefaultTimeout(TIMEOUT);
    raw.on('pageerror', (failure) => this.errors.push(failure.message));
    raw.on('console', (message) => message.type() === 'error' && this.errors.push(message.text()));
  }

  goto(url) { return this.raw.goto(url); }
  type(text) { return this.raw.keyboard.type(text); }
  evaluate(fn, arg) { return this.raw.evaluate(fn, arg); }
  screenshot(path, clip) { return this.raw.screenshot({ path, clip }); }
  close() { return this.raw.close(); }
}

// ---------------------------------------------------------------- Chromium
class ChromiumPage extends PuppetPage {
  constructor(raw) {
    super(raw);
    this.requests = [];
    raw.on('request', (request) => this.requests.push(request.url()));
  }

  click(selector, { at, count, force = Boolean(at) } = {}) {
    return this.raw.click(selector, { position: at, force, clickCount: count });
  }
  tap(selector) { return this.raw.tap(selector, { force: true }); }
  insertText(text) { return this.raw.keyboard.insertText(text); }
  beforeLoad(fn) { return this.raw.addInitScript(fn); }

  async cdp() {
    this.session ??= await this.raw.context().newCDPSession(this.raw);
    return this.session;
  }

  // What keeps the browser from offering to install the page as an app.
  async installabilityErrors() {
    const { installabilityErrors } = await (await this.cdp()).send('Page.getInstallabilityErrors');
    return installabilityErrors.map((e) => e.errorId);
  }

  async compose(text) {
    const cdp = await this.cdp();
    await cdp.send('Input.imeSetComposition', { text, selectionStart: text.length, selectionEnd: text.length });
    await cdp.send('Input.insertText', { text });
  }
  fill(selector, text) { return this.raw.fill(selector, text); }
  press(key) { return this.raw.keyboard.press(key); }
  resize(width, height) { return this.raw.setViewportSize({ width, height }); }

  // Playwright carries a drag in Chromium through the browser's own drag and
  // drop: the drop is trusted and the browser inserts what it carries.
  async drag(from, to, at) {
    const start = await this.point(from);
    const end = await this.point(to, at);
    const mouse = this.raw.mouse;
    await mouse.move(start.x, start.y);
    await mouse.down();
    await mouse.move(start.x + 10, start.y + 10, { steps: 3 });
    await mouse.move(end.x, end.y, { steps: 5 });
    await mouse.up();
  }
}

const chromium = {
  name: 'chromium',
  concurrency: 2,
  lacks: {},
  async start() {
    const { chromium: launcher } = await import('playwright-core');
    const browser = await launcher.launch({
      executablePath: process.env.TR_CHROMIUM ?? '/usr/bin/chromium', args: CHROMIUM_ARGS,
    });
    const desktop = await browser.newContext({ deviceScaleFactor: 1 });
    let phone, profile, profileFolder;
    return {
      async open({ width = 800, height = 600, phone: onPhone = false, profile: onDisk = false } = {}) {
        // A phone: its screen, touch, and the page laid out for a phone.
        if (onPhone) phone ??= await browser.newContext({ viewport: PHONE, deviceScaleFactor: 3, isMobile: true,
          hasTouch: true });
        if (onDisk && !profile) {
          profileFolder = mkdtempSync(join(tmpdir(), 'tr-chromium-'));
          profile = await launcher.launchPersistentContext(profileFolder, {
            executablePath: process.env.TR_CHROMIUM ?? '/usr/bin/chromium', args: CHROMIUM_ARGS,
            deviceScaleFactor: 1 });
        }
        const raw = await (onPhone ? phone : onDisk ? profile : desktop).newPage();
        if (!onPhone) await raw.setViewportSize({ width, height });
        return new ChromiumPage(raw);
      },
      async stop() {
        await profile?.close();
        if (profileFolder) rmSync(profileFolder, { recursive: true, force: true });
        await browser.close();
      },
    };
  },
};

// ----------------------------------------------------------------- Firefox
// puppeteer's names for the keys that Playwright's differ from.
const PUPPETEER_KEYS = { Space: ' ' };

class FirefoxPage extends PuppetPage {
  constructor(raw, idle) {
    super(raw);
    this.idle = idle;
  }

  async close() {
    await this.raw.goto('about:blank');
    this.idle.push(this);
  }

  async click(selector, { at, count } = {}) {
    const { x, y } = await this.point(selector, at);
    return this.raw.mouse.click(x, y, { count });
  }

  beforeLoad(fn) { return this.raw.evaluateOnNewDocument(fn); }

  // puppeteer's touches carry no pressure, which Firefox refuses
  // (NS_ERROR_ILLEGAL_VALUE); the same tap over BiDi with one.
  async tap(selector) {
    const { x, y } = await this.point(selector);
    await this.raw.mainFrame().browsingContext.performActions([{
      type: 'pointer', id: 'finger', parameters: { pointerType: 'touch' },
      actions: [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y) },
        { type: 'pointerDown', button: 0, width: 1, height: 1, pressure: 0.5 }, { type: 'pointerUp', button: 0 }],
    }]);
  }

  async press(key) {
    const keys = key.split('+').map((name) => PUPPETEER_KEYS[name] ?? name);
    const last = keys.pop();
    for (const modifier of keys) await this.raw.keyboard.down(modifier);
    await this.raw.keyboard.press(last);
    for (const modifier of keys.reverse()) await this.raw.keyboard.up(modifier);
  }

  resize(width, height) { return this.raw.setViewport({ width, height }); }
}

const firefox = {
  name: 'firefox',
  concurrency: 1,
  lacks: {
    devtools: "the case reads or drives the browser through Chromium's DevTools protocol",
    insertText: "puppeteer's keyboard over WebDriver BiDi types keys, one by one",
    // Firefox's WebDriver actions end a drag by cancelling it
    // (endDragSession(false) in its EventUtils): drops need the X server's pointer.
    drop: !process.env.DISPLAY && "Firefox's WebDriver actions cancel a drag at the pointer's release; no X server",
  },
  async start() {
    const { default: puppeteer } = await import('puppeteer-core');
    const browser = await puppeteer.launch({
      browser: 'firefox', executablePath: process.env.TR_FIREFOX ?? '/usr/bin/firefox-esr',
      headless: !process.env.DISPLAY,
      // Touch events on, as on a phone; Linux without a touch screen has them off.
      extraPrefsFirefox: { 'dom.w3c_touch_events.enabled': 1, 'dom.maxtouchpoints.testing.value': 5 },
    });
    // A page that was closed is kept for the next: a new tab costs Firefox
    // far more than a new document in one.
    const idle = [];
    return {
      async open({ width = 800, height = 600, phone = false } = {}) {
        const page = idle.pop() ?? new FirefoxPage(await browser.newPage(), idle);
        page.errors = [];
        await page.raw.setViewport(phone ? PHONE : { width, height });
        return page;
      },
      stop: () => browser.close(),
    };
  },
};

// ------------------------------------------------------------------ WebKit
const WEBKIT_BROWSER = process.env.TR_WEBKIT_BROWSER ?? readdirSync('/usr/lib', { withFileTypes: true })
  .map((entry) => `/usr/lib/${entry.name}/webkit2gtk-4.1/MiniBrowser`).find((path) => existsSync(path));

class WebKitPage extends Page {
  constructor(session, Key, Origin) {
    super();
    Object.assign(this, { session, Key, Origin });
  }

  evaluate(fn, arg) {
    return this.session.executeScript(`return (${fn}).apply(null, arguments)`, arg);
  }

  // WebDriver classic reports no page errors: the page collects its own,
  // from the moment it is loaded.
  async goto(url) {
    await this.session.get(url);
    await this.evaluate(() => {
      window.trErrors = [];
      addEventListener('error', (e) => window.trErrors.push(e.message));
      addEventListener('unhandledrejection', (e) => window.trErrors.push(String(e.reason)));
      const log = console.error;
      console.error = (...args) => {
        window.trErrors.push(args.join(' '));
        log.apply(console, args);
      };
    });
  }

  // A page that loaded itself again (重新打开) has reported nothing since.
  reportedErrors() { return this.evaluate(() => window.trErrors ?? []); }

  async click(selector, { at, count } = {}) {
    const { x, y } = await this.point(selector, at);
    const moved = this.session.actions().move({ x: Math.round(x), y: Math.round(y), origin: this.Origin.VIEWPORT });
    await (count === 2 ? moved.doubleClick() : moved.click()).perform();
  }

  type(text) { return this.session.actions().sendKeys(text).perform(); }

  async press(key) {
    // MiniBrowser binds no key to Undo (a WebKitGTK browser does that in its
    // menu), so Ctrl+Z runs the browser's Undo command itself.
    if (key === 'Control+z') return this.evaluate(() => document.execCommand('undo'));
    const names = { Control: 'CONTROL', Shift: 'SHIFT', Enter: 'ENTER', Escape: 'ESCAPE', Tab: 'TAB', Space: 'SPACE',
      Delete: 'DELETE', ArrowDown: 'ARROW_DOWN', ArrowUp: 'ARROW_UP' };
    const keys = key.split('+').map((name) => (names[name] ? this.Key[names[name]] : name));
    const last = keys.pop();
    let actions = this.session.actions();
    for (const modifier of keys) actions = actions.keyDown(modifier);
    actions = actions.sendKeys(last);
    for (const modifier of keys.reverse()) actions = actions.keyUp(modifier);
    await actions.perform();
  }

  async resize(width, height) {
    const [dw, dh] = await this.evaluate(() => [outerWidth - innerWidth, outerHeight - innerHeight]);
    await this.session.manage().window().setRect({ width: width + dw, height: height + dh });
  }

  async screenshot(path, clip) {
    await this.session.executeAsyncScript('requestAnimationFrame(() => requestAnimationFrame(arguments[0]))');
    writeFileSync(path, Buffer.from(await this.session.takeScreenshot(), 'base64'));
    if (!clip) return;
    const { x, y, width, height } = clip;
    execFileSync('convert', [path, '-crop', `${width}x${height}+${x}+${y}`, '+repage', path]);
  }

  close() { return this.session.get('about:blank'); }
}

const webkit = {
  name: 'webkit',
  // One WebDriver session, one page at a time.
  concurrency: 1,
  lacks: {
    devtools: "the case reads or drives the browser through Chromium's DevTools protocol",
    touch: "WebKitGTK's WebDriver delivers touch actions as the mouse's",
    insertText: 'WebDriver classic has no text input but keys',
    initScript: 'WebDriver classic runs no script before a page\'s own',
  },
  async start() {
    // Selenium Manager is never asked for a driver or a browser.
    process.env.SE_OFFLINE = 'true';
    const { default: webdriver } = await import('selenium-webdriver');
    const { default: remote } = await import('selenium-webdriver/remote/index.js');
    const service = new remote.DriverService.Builder(process.env.TR_WEBKIT_DRIVER ?? '/usr/bin/WebKitWebDriver')
      .setLoopback(true).build();
    const session = await new webdriver.Builder().usingServer(await service.start())
      .withCapabilities(new webdriver.Capabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: WEBKIT_BROWSER, args: ['--automation'] },
      })).build();
    await session.manage().setTimeouts({ script: TIMEOUT });
    return {
      async open({ width = 800, height = 600, phone = false } = {}) {
        const page = new WebKitPage(session, webdriver.Key, webdriver.Origin);
        const size = phone ? PHONE : { width, height };
        await page.resize(size.width, size.height);
        return page;
      },
      async stop() {
        await session.quit();
        await service.kill();
      },
    };
  },
};

export const engines = { chromium, firefox, webkit };
