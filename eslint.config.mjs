// Lint rules for the viewer page (classic browser scripts sharing window.VEK)
// and for its Node tests and benchmark (ES modules that drive a browser).
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {
    files: ['resources/www/js/**/*.js'],
    languageOptions: {
      sourceType: 'script',
      // L is Leaflet, loaded by its own script tag before ours.
      globals: { ...globals.browser, L: 'readonly' },
    },
  },
  {
    files: ['tests/page/**/*.mjs', 'bench/page/**/*.mjs'],
    languageOptions: {
      sourceType: 'module',
      // Functions passed to page.evaluate run in the browser, beside the
      // page's own globals and the script calls the native side makes.
      globals: { ...globals.node, ...globals.browser, VEK: 'readonly', exp: 'readonly', exp_saved: 'readonly',
        exp_incompatible: 'readonly' },
    },
  },
];
