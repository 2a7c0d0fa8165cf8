// Starts the program once the browser has painted the window, so that the
// window shows as soon as a bare page would: the program's script (inlined
// in #program, or named by its data-src) and, in a page that carries it,
// the WebAssembly inlined as base64 in #program-wasm. A page from a host
// registers its service worker (data-service-worker) then too.
(() => {
  let started = false;
  function start() {
    if (started) return;
    started = true;
    const source = document.getElementById('program');
    const inlined = document.getElementById('program-wasm');
    if (inlined) {
      const text = atob(inlined.textContent);
      const bytes = new Uint8Array(text.length);
      for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
      Module.wasmBinary = bytes;
    }
    const program = document.createElement('script');
    if (source.dataset.src) program.src = source.dataset.src;
    else program.textContent = source.textContent;
    document.body.append(program);
    const worker = source.dataset.serviceWorker;
    if (worker && 'serviceWorker' in navigator) navigator.serviceWorker.register(worker);
  }
  new PerformanceObserver((entries, observer) => {
    if (!entries.getEntriesByName('first-contentful-paint').length) return;
    observer.disconnect();
    setTimeout(start);
  }).observe({ type: 'paint', buffered: true });
  // A page in a tab that is not shown is painted only once it is.
  setTimeout(start, 1000);
})();
