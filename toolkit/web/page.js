// The page side of the browser binding (toolkit/web/web_window.cpp), loaded
// before the program. It makes the window's elements as the program asks and
// queues what the user does (clicks, the close box, pasted text) for the
// program's event loop, which takes one event at a time between handlers. It
// computes nothing, and of the window's rules it keeps only the keys of a
// dialog (Tab in the program's order, Enter, Esc): which click runs a
// handler, whether the window closes and what a paste keeps are the
// program's to say.
var TrPage = (() => {
  // Event kinds, as web_window.cpp reads them: kind * 256 + control index.
  const CLICK = 1, CLOSE_BOX = 2, INSERT = 3;
  const decoder = new TextDecoder('utf-16le');
  const controls = [];  // by control index: the element in the control's place
  const inputs = [];    // by control index: the element that takes the focus
  const queue = [];
  // What was pasted or dropped, waiting for the program in the queue's
  // order: its text up to the first line break, and for a drop the part of
  // the field that the browser's insertion took.
  const inserted = [];
  let wake = null, held = '', pending = null, focusOrder = [];
  let desktop, win, client, defaultButton, cancelButton, box;

  function post(kind, index) {
    queue.push(kind * 256 + index);
    if (wake) wake();
  }

  function make(tag, className, text) {
    const element = document.createElement(tag);
    if (className) element.className = className;
    if (text !== undefined) element.textContent = text;
    return element;
  }

  function titleBar(caption, captionId, onClose) {
    const bar = make('div', 'titlebar');
    const title = make('span', 'caption', caption);
    title.id = captionId;
    const close = make('button', 'close-box');
    close.type = 'button';
    close.tabIndex = -1;
    close.title = '关闭';
    close.setAttribute('aria-label', '关闭');
    close.innerHTML = '<svg viewBox="0 0 10 10" aria-hidden="true"><path d="M0 0L10 10M10 0L0 10"/></svg>';
    close.addEventListener('mousedown', (e) => e.preventDefault());
    close.addEventListener('click', onClose);
    bar.append(title, close);
    return bar;
  }

  // A group's tab stop is its selected option, or its first one.
  function isStop(element) {
    if (element.disabled) return false;
    if (element.type !== 'radio') return true;
    const group = focusOrder.filter((o) => o.type === 'radio' && o.name === element.name && !o.disabled);
    return element === (group.find((o) => o.checked) || group[0]);
  }

  // Tab and Shift+Tab, round the window in the program's tab order.
  function moveFocus(step) {
    const from = document.activeElement;
    const count = focusOrder.length;
    let i = focusOrder.indexOf(from);
    if (i < 0) i = step > 0 ? -1 : 0;
    for (let k = 0; k < count; k++) {
      i = (i + step + count) % count;
      const to = focusOrder[i];
      const sameGroup = to.type === 'radio' && from && from.type === 'radio' && to.name === from.name;
      if (isStop(to) && !sameGroup) return to.focus();
    }
  }

  function onKey(e) {
    if (e.isComposing || e.keyCode === 229 || e.altKey || e.ctrlKey || e.metaKey) return;
    // WebKitGTK names Shift+Tab's key (ISO_Left_Tab) "Unidentified".
    if (e.key === 'Tab' || e.code === 'Tab') {
      e.preventDefault();
      moveFocus(e.shiftKey ? -1 : 1);
    } else if (e.shiftKey) {
      return;
    } else if (e.key === 'Enter' && !e.target.classList.contains('push')) {
      // A focused push button takes Enter itself, as on Windows.
      e.preventDefault();
      if (defaultButton) defaultButton.click();
    } else if (e.key === 'Escape') {
      e.preventDefault();
      if (cancelButton) cancelButton.click();
    }
  }

  // On a page narrower than the window, the whole window is scaled down.
  function fit() {
    if (!win || win.hidden) return;
    const scale = Math.min(1, desktop.clientWidth / win.offsetWidth);
    win.style.transform = scale < 1 ? `scale(${scale})` : '';
    win.style.marginBottom = scale < 1 ? `${(scale - 1) * win.offsetHeight}px` : '';
  }

  function container(index) { return index < 0 ? client : controls[index]; }

  // The text as far as its first line break, which is kept: what the
  // program is given of a paste of any size.
  function upToLineBreak(text) {
    const end = text.search(/[\r\n]/);
    return end < 0 ? text : text.slice(0, end + 1);
  }

  // A paste is put in by the program, which keeps the first line of it.
  function onPaste(e) {
    e.preventDefault();
    inserted.push({ text: upToLineBreak(e.clipboardData ? e.clipboardData.getData('text/plain') : '') });
    post(INSERT, inputs.indexOf(e.currentTarget));
  }

  // A drop is put in by the browser where it was dropped, after this event;
  // when it held a line break, the program then puts the first line in
  // place of what the browser put in.
  let dropped = null;
  function onDrop(e) {
    const text = e.dataTransfer ? e.dataTransfer.getData('text/plain') : '';
    const field = e.currentTarget;
    dropped = /[\r\n]/.test(text) ? { text: upToLineBreak(text), field, before: field.value } : null;
  }
  function onInput(e) {
    const field = e.currentTarget;
    if (!dropped || e.inputType !== 'insertFromDrop' || dropped.field !== field) return;
    const text = dropped.text, before = dropped.before;
    dropped = null;
    // What was put in ends at the selection's end and is as long as the
    // field grew.
    const end = field.selectionEnd;
    const start = end - (field.value.length - before.length);
    if (start < 0 || field.value.slice(0, start) + field.value.slice(end) !== before) return;
    inserted.push({ text, start, end });
    post(INSERT, inputs.indexOf(field));
  }

  const icons = {
    information: '<circle cx="16" cy="16" r="15" fill="#1e6fd0"/><circle cx="16" cy="9" r="2.2" fill="#fff"/><rect x="14" y="13" width="4" height="11" fill="#fff"/>',
    critical: '<circle cx="16" cy="16" r="15" fill="#d92b2b"/><path d="M10 10L22 22M22 10L10 22" stroke="#fff" stroke-width="3"/>',
  };

  function makeBox() {
    box = make('dialog', 'box');
    box.setAttribute('role', 'alertdialog');
    box.setAttribute('aria-labelledby', 'box-title');
    box.setAttribute('aria-describedby', 'box-prompt');
    const body = make('div', 'box-body');
    const icon = make('span', 'box-icon');
    icon.setAttribute('role', 'img');
    const prompt = make('p', 'box-prompt');
    prompt.id = 'box-prompt';
    body.append(icon, prompt);
    const buttons = make('div', 'box-buttons');
    const ok = make('button', 'box-ok', '确定');
    ok.type = 'button';
    ok.addEventListener('click', () => box.close());
    buttons.append(ok);
    box.append(titleBar('', 'box-title', () => box.close()), body, buttons);
    document.body.append(box);
  }

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
    takeInserted() {
      pending = inserted.shift() || { text: '' };
      return pending.text;
    },
    control: (index) => controls[index],
    input: (index) => inputs[index],

    makeWindow(caption, icon, width, height) {
      const resource = [...document.querySelectorAll('template[data-resource]')]
        .find((t) => t.dataset.resource === icon);
      const picture = resource && resource.content.querySelector('svg');
      if (!picture) return 0;
      document.title = caption;
      const favicon = make('link');
      favicon.rel = 'icon';
      favicon.href = 'data:image/svg+xml,' + encodeURIComponent(picture.outerHTML);
      document.head.append(favicon);
      desktop = document.getElementById('desktop');
      win = make('section', 'window');
      win.hidden = true;
      win.setAttribute('aria-labelledby', 'caption');
      const bar = titleBar(caption, 'caption', () => post(CLOSE_BOX, 0));
      const mark = picture.cloneNode(true);
      mark.setAttribute('class', 'icon');
      mark.setAttribute('aria-hidden', 'true');
      bar.prepend(mark);
      client = make('div', 'client');
      client.style.width = width + 'px';
      client.style.height = height + 'px';
      win.append(bar, client);
      // A click on the window where no control takes the focus leaves it
      // where it was, as in a dialog.
      win.addEventListener('mousedown', (e) => {
        const label = e.target.closest('label');
        if (!e.target.closest('input, button') && !(label && label.control)) e.preventDefault();
      });
      // The window has the keys, also when the page itself has the focus;
      // not while a box is open or once the window is gone.
      document.addEventListener('keydown', (e) => {
        if (!win.hidden && !(box && box.open) && !e.defaultPrevented) onKey(e);
      });
      desktop.append(win);
      addEventListener('resize', fit);
      return 1;
    },
    makeFrame(index, into, caption) {
      const frame = make('fieldset', 'frame');
      frame.append(make('legend', '', caption));
      controls[index] = frame;
      container(into).append(frame);
    },
    makeOption(index, into, caption) {
      const option = make('label', 'option');
      const radio = make('input');
      radio.type = 'radio';
      radio.name = 'group' + into;
      radio.addEventListener('click', () => post(CLICK, index));
      option.append(radio, make('span', '', caption));
      controls[index] = option;
      inputs[index] = radio;
      container(into).append(option);
    },
    makeLabel(index, into, caption) {
      controls[index] = make('label', 'label', caption);
      container(into).append(controls[index]);
    },
    makeTextBox(index, into, text) {
      const field = make('input', 'field');
      field.type = 'text';
      field.value = text;
      field.autocomplete = 'off';
      field.spellcheck = false;
      field.addEventListener('paste', onPaste);
      field.addEventListener('drop', onDrop);
      field.addEventListener('input', onInput);
      controls[index] = inputs[index] = field;
      container(into).append(field);
    },
    makePushButton(index, into, caption, role) {
      const button = make('button', role === 1 ? 'push default' : 'push', caption);
      button.type = 'button';
      button.addEventListener('click', () => post(CLICK, index));
      if (role === 1) defaultButton = button;
      if (role === 2) cancelButton = button;
      controls[index] = inputs[index] = button;
      container(into).append(button);
    },
    place(index, name, left, top, width, height, font, pointing) {
      const element = controls[index];
      element.id = name;
      Object.assign(element.style, {
        left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px',
      });
      if (font) element.style.font = font;
      if (pointing) element.style.cursor = 'pointer';
    },
    nameField(label, field) { controls[label].htmlFor = controls[field].id; },
    setFocusOrder(indices) { focusOrder = indices.map((i) => inputs[i]); },
    // Puts `text` in place of what was dropped, or of the selection; as an
    // edit of the user's, which Ctrl+Z takes back, where the browser can.
    insert(index, text) {
      const field = inputs[index];
      if (pending && pending.end !== undefined) field.setSelectionRange(pending.start, pending.end);
      pending = null;
      if (!text && field.selectionStart === field.selectionEnd) return;
      const asEdit = document.activeElement === field &&
        document.execCommand(text ? 'insertText' : 'delete', false, text);
      if (!asEdit) field.setRangeText(text, field.selectionStart, field.selectionEnd, 'end');
    },

    showWindow() {
      win.hidden = false;
      fit();
      moveFocus(1);
      // The box is made and laid out once the window's first frame is drawn,
      // while the user reads the window, not when the first box is asked
      // for; and the program may warm up then (main_web.cpp).
      requestAnimationFrame(() => setTimeout(() => {
        if (!box) makeBox();
        if (!box.open) {
          // Shown once unseen, and the focus put back where it was.
          const back = document.activeElement;
          box.style.opacity = 0;
          box.showModal();
          box.getBoundingClientRect();
          box.close();
          box.style.opacity = '';
          if (back) back.focus({ preventScroll: true });
        }
        if (typeof Module._tr_warm_up === 'function') Module._tr_warm_up();
      }));
    },
    closeWindow() {
      if (box && box.open) box.close();
      if (win) win.hidden = true;
      const ended = make('div', 'ended');
      ended.setAttribute('role', 'status');
      const again = make('button', '', '重新打开');
      again.type = 'button';
      again.addEventListener('click', () => location.reload());
      ended.append(make('p', '', '程序已经结束。'), again);
      (desktop || document.body).append(ended);
      again.focus();
      return 1;
    },
    showStartFailure(line) {
      const failure = make('p', 'ended', '窗口无法打开：' + line);
      failure.setAttribute('role', 'alert');
      (desktop || document.body).append(failure);
    },
    showMessage(prompt, title, critical) {
      if (!box) makeBox();
      box.querySelector('#box-title').textContent = title;
      box.querySelector('#box-prompt').textContent = prompt;
      const icon = box.querySelector('.box-icon');
      const kind = critical ? 'critical' : 'information';
      icon.dataset.icon = kind;
      icon.setAttribute('aria-label', critical ? '错误' : '信息');
      icon.innerHTML = `<svg viewBox="0 0 32 32" aria-hidden="true">${icons[kind]}</svg>`;
      const back = document.activeElement;
      return new Promise((resolve) => {
        // A close event still on its way from an earlier closing is not this box's.
        box.addEventListener('close', function closed() {
          if (box.open) return;
          box.removeEventListener('close', closed);
          if (back && back.isConnected) back.focus();
          resolve(1);
        });
        try {
          box.showModal();
          box.querySelector('.box-ok').focus();
        } catch (failure) {
          resolve(0);
        }
      });
    },
    nextEvent() {
      return new Promise((resolve) => {
        wake = () => {
          wake = null;
          resolve(queue.shift());
        };
        if (queue.length) wake();
      });
    },
  };
})();
