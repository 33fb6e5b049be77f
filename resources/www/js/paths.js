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

  // A path byte that is not UTF-8 arrives as the lone surrogate U+DC80 +
  // byte (a low surrogate without a high one before it); "%XX" of that byte
  // gives the native side, and file URLs, the original bytes back.
  var RAW_BYTE = '(?<![\\ud800-\\udbff])[\\udc80-\\udcff]';
  var RAW_BYTE_PIECES = new RegExp('(' + RAW_BYTE + ')');
  var RAW_BYTE_BASE = 0xdc00;

  function byteEscape(ch) {
    var code = ch.charCodeAt(0);
    var hex = (code >= RAW_BYTE_BASE ? code - RAW_BYTE_BASE : code).toString(16).toUpperCase();
    return '%' + (hex.length < 2 ? '0' : '') + hex;
  }

  // encodeURIComponent throws on a lone surrogate: those become their byte.
  function encodeSegment(segment) {
    return segment.split(RAW_BYTE_PIECES).map(function (piece, i) {
      return i % 2 ? byteEscape(piece) : encodeURIComponent(piece);
    }).join('');
  }

  // Every segment escaped, so "#", "?", "%" and ";" stay part of the file name.
  function fileUrl(path) {
    var absolute = path.charAt(0) === '/' ? path : '/' + path;
    return 'file://' + absolute.split('/').map(encodeSegment).join('/');
  }

  // Command arguments that the native side percent-decodes: escape what the
  // decoder or the URL parser would otherwise change ("%", "#", "?", "\\",
  // bytes that are not UTF-8), and the commas that separate arguments.
  // Spaces and other non-ASCII are left to the browser, which escapes them.
  var COMMAND_ESCAPES = new RegExp('[%#?,\\\\\\u0000-\\u001f]|' + RAW_BYTE, 'g');

  function commandArg(text) {
    return String(text).replace(COMMAND_ESCAPES, byteEscape);
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
