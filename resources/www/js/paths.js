// Paths as the native side reports them, and the URL forms the page needs.
(function (VEK) {
  'use strict';

  // The native lists are comma-terminated ("a,b,"); an empty list is "".
  // A list with a comma inside a path starts with a NUL and ends every path
  // with one instead: no path can hold a NUL.
  function splitList(text) {
    var list = String(text || '');
    var separator = list.charAt(0) === '\u0000' ? '\u0000' : ',';
    return list.split(separator).filter(function (part) { return part !== ''; });
  }

  function baseName(path) {
    var slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.slice(slash + 1);
  }

  // Every segment escaped, so "#", "?", "%" and ";" stay part of the file name.
  function fileUrl(path) {
    var absolute = path.charAt(0) === '/' ? path : '/' + path;
    return 'file://' + absolute.split('/').map(encodeURIComponent).join('/');
  }

  // Command arguments that the native side percent-decodes: escape what the
  // decoder or the URL parser would otherwise change ("%", "#", "?", "\"),
  // and the commas that separate the arguments.
  // Spaces and non-ASCII are left to the browser, which escapes them.
  function commandArg(text) {
    return String(text).replace(/[%#?,\\\u0000-\u001f]/g, function (ch) {
      var hex = ch.charCodeAt(0).toString(16).toUpperCase();
      return '%' + (hex.length < 2 ? '0' : '') + hex;
    });
  }

  var MAX_CANDIDATES = 8; // the native lookup examines no more than eight

  // Places a clip may have moved to: other letter cases of its name and
  // extension (cards formatted by the camera use upper case, copies often not).
  function candidates(path) {
    var slash = path.lastIndexOf('/');
    var dir = path.slice(0, slash + 1);
    var name = path.slice(slash + 1);
    var dot = name.lastIndexOf('.');
    var stem = dot < 0 ? name : name.slice(0, dot);
    var ext = dot < 0 ? '' : name.slice(dot);
    var names = [name, stem + ext.toUpperCase(), stem + ext.toLowerCase(),
      name.toUpperCase(), name.toLowerCase()];
    var seen = {};
    return names.map(function (n) { return dir + n; }).filter(function (p) {
      if (seen[p]) return false;
      seen[p] = true;
      return true;
    }).slice(0, MAX_CANDIDATES);
  }

  VEK.paths = { splitList: splitList, baseName: baseName, fileUrl: fileUrl,
    commandArg: commandArg, candidates: candidates };
})(window.VEK = window.VEK || {});
