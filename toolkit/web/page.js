// The page side of the browser binding (toolkit/web/web_window.cpp). The page
// comes with the window and the message box in it; this script runs as soon
// as they are parsed, before the program, and fits the window to the page.
//
// Until the program has taken the window over (ready), what the user does is
// held back, with the browser's own answer to it (a choice, a caret, the
// text put in), and done in its order once the program is ready. From then
// on the user's clicks and the close box become events in a queue that the
// program's event loop takes one at a time, between handlers; and whatever
// puts text into a field (typing, a paste, a drop, a keyboard's suggestion,
// an input method, a dictation) puts in only what the program says a field
// keeps of it. This script computes nothing and decides none of the
// window's rules: the keys of a dialog (Tab, Enter, Esc) go to the program,
// which says what they do.
var Module = { onAbort: (what) => TrPage.showStartFailure(String(what)) };
var TrPage = (() => {
  // Event kinds, as web_window.cpp reads them: kind * 256 + control index
  // (for a key, the control that has the focus, or NONE).
  const CLICK = 1, CLOSE_BOX = 2, ENTER = 3, ESCAPE = 4, TAB = 5, SHIFT_TAB = 6, NONE = 255;
  const KINDS = ['frame', 'option', 'label', 'field', 'push'];
  const decoder = new TextDecoder('utf-16le');
  const desktop = document.getElementById('desktop');
  const win = desktop.querySelector('.window');
  const client = win.querySelector('.client');
  const box = document.querySelector('dialog.box');
  const ok = box.querySelector('.box-ok');
  const controls = [];  // by control index: the element in the control's place
  const inputs = [];    // by control index: the element that takes the focus
  // Events for the program, and what the user did before it was ready, in order.
  const queue = [];
  let wake = null, replayed = null, held = '', isReady = false;
  // A line put in by the browser although the program would keep less of it
  // (an input method's text cannot be refused): corrected once it is in.
  let late = null;

  function post(kind, index) {
    const event = kind * 256 + index;
    if (replayed) return replayed.push(event);
    queue.push(event);
    if (wake) wake();
  }

  // Until the program is ready: the event's own effect is held back with it.
  function holdBack(e, action) {
    e.preventDefault();
    e.stopImmediatePropagation();
    if (action) queue.push(action);
  }

  const field = (element) => (element && element.matches('input.field:not(:disabled)') ? element : null);

  // The keys of a dialog, whose effect the program decides: Tab and
  // Shift+Tab move the focus, Enter and Esc press a push button. WebKitGTK
  // names Shift+Tab's key (ISO_Left_Tab) "Unidentified".
  function dialogKey({ key, code, shiftKey }) {
    if (key === 'Tab' || code === 'Tab') return shiftKey ? SHIFT_TAB : TAB;
    return shiftKey ? null : { Enter: ENTER, Escape: ESCAPE }[key] ?? null;
  }

  function postKey(kind) {
    const focused = inputs.indexOf(document.activeElement);
    post(kind, focused < 0 ? NONE : focused);
  }

  function onKey(e) {
    if (e.isComposing || e.keyCode === 229 || e.altKey || e.ctrlKey || e.metaKey) return;
    const kind = dialogKey(e);
    if (!kind) return;
    e.preventDefault();
    postKey(kind);
  }

  // A key held back while the program was not ready, done as the browser
  // and the window would have done it then.
  function replayKey(pressed) {
    const kind = dialogKey(pressed);
    if (kind) return postKey(kind);
    const { key } = pressed;
    const target = document.activeElement;
    if (target.type === 'radio') {
      const group = [...client.querySelectorAll(`input[name="${target.name}"]:not(:disabled)`)];
      const step = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1 }[key];
      if (step) return group[(group.indexOf(target) + step + group.length) % group.length].click();
      if (key === ' ') return target.click();
    } else if (target.classList.contains('push') && key === ' ') {
      return target.click();
    } else if (field(target)) {
      if ([...key].length === 1) return put(target, kept(key));
      const edit = { Backspace: 'delete', Delete: 'forwardDelete' }[key];
      if (edit) return document.execCommand(edit);
      const caret = { ArrowLeft: target.selectionStart - 1, ArrowRight: target.selectionEnd + 1,
        Home: 0, End: target.value.length }[key];
      if (caret !== undefined) target.setSelectionRange(Math.max(0, caret), Math.max(0, caret));
    }
  }

  // On a page narrower than the window, the whole window is scaled down.
  function fit() {
    if (win.hidden) return;
    const scale = Math.min(1, desktop.clientWidth / win.offsetWidth);
    win.style.transform = scale < 1 ? `scale(${scale})` : '';
    win.style.marginBottom = scale < 1 ? `${(scale - 1) * win.offsetHeight}px` : '';
  }

  // What a field keeps of `text`, as the program says (tr_kept_length).
  function kept(text) {
    if (!text) return text;
    const pointer = Module._malloc(2 * text.length);
    if (!pointer) return '';
    for (let i = 0; i < text.length; i++) HEAPU16[(pointer >> 1) + i] = text.charCodeAt(i);
    const length = Module._tr_kept_length(pointer, text.length);
    Module._free(pointer);
    return text.slice(0, length);
  }

  // Puts `text` in place of the field's selection, as an edit of the user's
  // that Ctrl+Z takes back, where the browser can.
  function put(element, text) {
    if (document.activeElement !== element) element.focus({ preventScroll: true });
    if (!text && element.selectionStart === element.selectionEnd) return;
    if (!document.execCommand(text ? 'insertText' : 'delete', false, text)) {
      element.setRangeText(text, element.selectionStart, element.selectionEnd, 'end');
    }
  }

  // Everything that puts text into a field comes here first: the browser
  // puts it in itself when the field keeps all of it; otherwise the field's
  // part of it is put in instead, at the same place.
  function onBeforeInput(e) {
    const element = e.currentTarget;
    const text = e.inputType.startsWith('insert') ? e.data ?? e.dataTransfer?.getData('text/plain') ?? '' : null;
    if (!isReady) {
      if (!e.cancelable) return;
      const edit = { deleteContentBackward: 'delete', deleteContentForward: 'forwardDelete' }[e.inputType];
      return holdBack(e, () => {
        if (text !== null) return put(element, kept(text));
        if (!edit) return;
        element.focus();
        document.execCommand(edit);
      });
    }
    if (!text) return;
    const line = kept(text);
    if (line.length === text.length) return;
    if (!e.cancelable) {
      late = { element, start: element.selectionStart, line };
      return;
    }
    e.preventDefault();
    put(element, line);
  }

  function onInserted(e) {
    if (!late || late.element !== e.currentTarget || e.isComposing) return;
    const { element, start, line } = late;
    late = null;
    element.setSelectionRange(start, element.selectionEnd);
    put(element, line);
  }

  for (const element of client.querySelectorAll('input.field')) {
    element.addEventListener('beforeinput', onBeforeInput);
    element.addEventListener('input', onInserted);
    element.addEventListener('compositionend', onInserted);
  }
  // A click on an option or a push button (the mouse's, Space's, or one
  // made by the page): it takes the focus, as on Windows (Safari gives none
  // to a clicked option), and the program hears of it.
  for (const control of client.querySelectorAll('.option input, .push')) {
    control.addEventListener('click', () => {
      control.focus({ preventScroll: true });
      post(CLICK, inputs.indexOf(control));
    });
  }
  const closeBox = win.querySelector('.close-box');
  closeBox.addEventListener('click', () => post(CLOSE_BOX, 0));

  // Before the program is ready, nothing in the window moves: a press of a
  // field or of a label that names one gives it the focus once it is, a
  // click on an option, a push button or the close box is made then.
  win.addEventListener('mousedown', (e) => {
    const label = e.target.closest('label');
    const target = field(e.target.closest('input')) || field(label && label.control);
    if (isReady) {
      // A press where nothing takes the focus leaves it where it was, as
      // in a dialog: the window's background, a frame's caption, a disabled
      // field or its label.
      if (!target && !e.target.closest('input:not(:disabled), button')) e.preventDefault();
      return;
    }
    holdBack(e, target && (() => target.focus()));
  }, true);
  win.addEventListener('click', (e) => {
    if (isReady) return;
    const control = e.target.closest('.option, .push, .close-box');
    holdBack(e, control && (() => (control.matches('.option') ? control.querySelector('input') : control).click()));
  }, true);
  // The window has the keys, also when the page itself has the focus; not
  // while a box is open or once the window is gone.
  document.addEventListener('keydown', (e) => {
    if (win.hidden || box.open || isReady || e.isComposing || e.keyCode === 229 ||
        e.ctrlKey || e.metaKey || e.altKey) return;
    const { key, code, shiftKey } = e;
    holdBack(e, () => replayKey({ key, code, shiftKey }));
  }, true);
  document.addEventListener('keydown', (e) => {
    if (isReady && !win.hidden && !box.open && !e.defaultPrevented) onKey(e);
  });
  addEventListener('resize', fit);
  fit();

  // The message box keeps 确定 focused, as a Windows box does, also when its
  // text is clicked. Text of it may be selected to copy it: the focus then
  // stays on the box (WebKit would undo the selection if it moved), and
  // Enter and Space close the box as 确定 does.
  box.addEventListener('click', (e) => {
    if (!e.target.closest('button') && getSelection().isCollapsed) ok.focus({ preventScroll: true });
  });
  box.addEventListener('keydown', (e) => {
    if (e.target.closest('button') || (e.key !== 'Enter' && e.key !== ' ')) return;
    e.preventDefault();
    box.close();
  });
  ok.addEventListener('click', () => box.close());
  box.querySelector('.close-box').addEventListener('click', () => box.close());

  const icons = {
    information: '<circle cx="16" cy="16" r="15" fill="#1e6fd0"/><circle cx="16" cy="9" r="2.2" fill="#fff"/><rect x="14" y="13" width="4" height="11" fill="#fff"/>',
    critical: '<circle cx="16" cy="16" r="15" fill="#d92b2b"/><path d="M10 10L22 22M22 10L10 22" stroke="#fff" stroke-width="3"/>',
  };

  return {
    text: (pointer, length) => decoder.decode(HEAPU8.subarray(pointer, pointer + 2 * length)),
    hold(text) {
      held = text;
      return text.length;
    },
    copyHeld(out) {
      for (let i = 0; i < held.length; i++) HEAPU16[(out >> 1) + i] = held.charCodeAt(i);
      held = '';
    },
    control: (index) => controls[index],
    input: (index) => inputs[index],

    // 0 when the page shows the program's window: its caption, its client
    // area's size in CSS pixels; 1 when it does not, 2 when it lacks the icon.
    takeWindow(caption, icon, width, height) {
      if (win.querySelector('.caption').textContent !== caption || client.style.width !== `${width}px` ||
          client.style.height !== `${height}px`) return 1;
      const mark = win.querySelector('.titlebar .icon');
      return mark && mark.dataset.icon === icon && mark.querySelector('svg') ? 0 : 2;
    },
    // True when the element `name` is the control as the program lays it
    // out: its kind, container, place, caption, and a label's field or a
    // push button's role (`detail`).
    takeControl(index, kind, name, container, caption, left, top, width, height, detail) {
      const element = document.getElementById(name);
      if (!element || !element.classList.contains(KINDS[kind]) ||
          element.parentElement !== (container < 0 ? client : controls[container])) return false;
      const { style } = element;
      if ([style.left, style.top, style.width, style.height].join() !==
          [left, top, width, height].map((n) => `${n}px`).join()) return false;
      const shown = KINDS[kind] === 'frame' ? element.querySelector('legend').textContent
        : KINDS[kind] === 'option' ? element.querySelector('span').textContent
          : KINDS[kind] === 'field' ? element.defaultValue : element.textContent;
      if (shown !== caption) return false;
      if (KINDS[kind] === 'label' && element.htmlFor !== detail) return false;
      const role = ['default', 'cancel'].find((r) => element.classList.contains(r)) ?? '';
      if (KINDS[kind] === 'push' && role !== detail) return false;
      controls[index] = element;
      inputs[index] = KINDS[kind] === 'option' ? element.querySelector('input') : element;
      return true;
    },

    // The program has the window: what was held back is done, in its order,
    // as the program's loop asks for events; and once the next frame is
    // drawn, the program may warm up (main_web.cpp).
    ready() {
      isReady = true;
      win.removeAttribute('aria-busy');
      requestAnimationFrame(() => setTimeout(() => Module._tr_warm_up?.()));
    },
    closeWindow() {
      if (box.open) box.close();
      win.hidden = true;
      const ended = document.createElement('div');
      ended.className = 'ended';
      ended.setAttribute('role', 'status');
      ended.innerHTML = '<p>程序已经结束。</p><button type="button">重新打开</button>';
      const again = ended.querySelector('button');
      again.addEventListener('click', () => location.reload());
      desktop.append(ended);
      again.focus();
      return 1;
    },
    showStartFailure(line) {
      win.hidden = true;
      const failure = document.createElement('p');
      failure.className = 'ended';
      failure.setAttribute('role', 'alert');
      failure.textContent = `窗口无法打开：${line}`;
      desktop.append(failure);
    },
    showMessage(prompt, title, critical) {
      box.querySelector('#box-title').textContent = title;
      box.querySelector('#box-prompt').textContent = prompt;
      const icon = box.querySelector('.box-icon');
      const kind = critical ? 'critical' : 'information';
      icon.dataset.icon = kind;
      icon.setAttribute('aria-label', critical ? '错误' : '信息');
      icon.innerHTML = `<svg viewBox="0 0 32 32" aria-hidden="true">${icons[kind]}</svg>`;
      const back = document.activeElement;
      return new Promise((resolve) => {
        box.addEventListener('close', () => {
          if (back && back.isConnected) back.focus();
          resolve(1);
        }, { once: true });
        try {
          box.showModal();
          ok.focus();
        } catch (failure) {
          resolve(0);
        }
      });
    },
    // The next event for the program. What the user did before the program
    // was ready is done first, one thing at a time: what it makes the program
    // hear comes before the next.
    nextEvent() {
      return new Promise((resolve) => {
        wake = () => {
          while (typeof queue[0] === 'function') {
            replayed = [];
            try {
              queue.shift()();
            } finally {
              queue.unshift(...replayed);
              replayed = null;
            }
          }
          if (!queue.length) return;
          wake = null;
          resolve(queue.shift());
        };
        wake();
      });
    },
  };
})();
