'use strict';
// The first script of the page, before its screens are read: where the
// browser cannot run the core, one screen says so (page.css shows it);
// where it can, the core's WebAssembly compiles while the rest of the page
// is read and laid out. page.js instantiates it.
(function () {
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.compile !== 'function') {
    document.documentElement.classList.add('no-core');
    return;
  }
  // The core's WebAssembly as base64, in pieces (make_page.py).
  const text = Array.from(document.querySelectorAll('script.core-wasm'), (piece) => piece.text).join('');
  let bytes;
  if (typeof Uint8Array.fromBase64 === 'function') {
    bytes = Uint8Array.fromBase64(text);
  } else {
    const binary = atob(text);
    bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  }
  window.SaberlineWasm = WebAssembly.compile(bytes);
  // A core that does not compile is said so when page.js asks for it.
  window.SaberlineWasm.catch(() => {});
})();
