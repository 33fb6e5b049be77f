// The clip list: one row per clip with its name, recording time, duration,
// a merge check box and a remove button. Rows are addressed by index.
(function (VEK) {
  'use strict';

  function ClipList(root, handlers) {
    this.list = root.querySelector('[data-r="clip-list"]');
    this.count = root.querySelector('[data-r="clip-count"]');
    this.root = root;
    this.handlers = handlers; // onSelect(i), onPick(i, on), onRemove(i)
    this.rows = [];
    this.paths = []; // per row, the path of its clip
    this.picked = new Set(); // rows shown as picked
    this.current = -1;
    var self = this;
    this.list.addEventListener('click', function (e) { self.click(e); });
    this.list.addEventListener('change', function (e) {
      var row = e.target.closest('.clip');
      if (row && e.target.classList.contains('clip-pick')) self.handlers.onPick(+row.dataset.index, e.target.checked);
    });
  }

  ClipList.prototype.click = function (e) {
    var row = e.target.closest('.clip');
    if (!row) return;
    var index = +row.dataset.index;
    if (e.target.closest('.clip-remove')) this.handlers.onRemove(index);
    else if (e.target.closest('.clip-main')) this.handlers.onSelect(index);
  };

  function rowFor(clip, index) {
    var li = document.createElement('li');
    li.className = 'clip';
    li.dataset.index = String(index);
    li.innerHTML =
      '<input type="checkbox" class="clip-pick" data-i18n-title="selectForMerge" data-i18n-aria="selectForMerge">' +
      '<button type="button" class="clip-main"><span class="clip-name"></span>' +
      '<span class="clip-meta"><span class="clip-when"></span><span class="clip-tag"></span>' +
      '<span class="clip-duration"></span></span></button>' +
      '<button type="button" class="clip-remove icon" data-i18n-title="remove" data-i18n-aria="remove">' +
      '<svg viewBox="0 0 16 16" aria-hidden="true"><path d="M4 4l8 8M12 4l-8 8"/></svg></button>';
    li.querySelector('.clip-name').textContent = clip.name;
    li.querySelector('.clip-main').title = clip.path;
    return li;
  }

  // A row shown before keeps its element and what it shows of its clip;
  // only new rows are built, so a long list is rebuilt in little time.
  // Only what differs is written: an untouched row keeps its layout.
  function reused(li, index) {
    if (li.dataset.index !== String(index)) li.dataset.index = String(index);
    if (li.classList.contains('current') || li.classList.contains('picked')) li.classList.remove('current', 'picked');
    if (li.hasAttribute('aria-current')) li.removeAttribute('aria-current');
    var pick = li.querySelector('.clip-pick');
    if (pick.checked) pick.checked = false;
    return li;
  }

  // Puts `rows` in the list in order, moving or inserting only the rows out
  // of place: during an intake each report adds a clip or two to hundreds,
  // and replacing every row each time made the page lay them all out again.
  function arrange(list, rows) {
    var keep = new Set(rows);
    Array.prototype.slice.call(list.children).forEach(function (el) { if (!keep.has(el)) el.remove(); });
    var at = list.firstElementChild;
    rows.forEach(function (row) {
      if (row === at) at = at.nextElementSibling;
      else list.insertBefore(row, at);
    });
  }

  function newRow(clip, index) {
    var li = rowFor(clip, index);
    VEK.i18n.apply(li);
    return li;
  }

  // Shows `clips` in order. Returns the indices of the rows built anew, or
  // null when the list was rebuilt and every row may show another clip.
  ClipList.prototype.render = function (clips) {
    var paths = clips.map(function (clip) { return clip.path; });
    var kept = VEK.listDiff.grown(this.paths, paths);
    var added = kept ? this.renderGrown(clips, kept) : this.renderAll(clips);
    this.paths = paths;
    this.current = -1;
    this.root.classList.toggle('empty', clips.length === 0);
    this.updateCount();
    return added;
  };

  ClipList.prototype.renderAll = function (clips) {
    var before = {};
    this.paths.forEach(function (path, i) { if (!before[path]) before[path] = this.rows[i]; }, this);
    var taken = {};
    this.rows = clips.map(function (clip, i) {
      var old = before[clip.path];
      var li = old && !taken[clip.path] ? reused(old, i) : newRow(clip, i);
      taken[clip.path] = true;
      return li;
    });
    this.picked = new Set();
    arrange(this.list, this.rows);
    return null;
  };

  // The list only grew (an intake's next report): the rows shown stay where
  // they are, untouched but for their index and marks, and only the new
  // rows are built and put between them.
  ClipList.prototype.renderGrown = function (clips, kept) {
    this.unmark();
    var old = this.rows;
    var added = [];
    this.rows = clips.map(function (clip, i) {
      if (kept[i] < 0) { added.push(i); return newRow(clip, i); }
      var li = old[kept[i]];
      if (kept[i] !== i) li.dataset.index = String(i);
      return li;
    });
    var before = null;
    for (var i = this.rows.length - 1; i >= 0; i--) {
      if (kept[i] < 0) this.list.insertBefore(this.rows[i], before);
      before = this.rows[i];
    }
    return added;
  };

  // The current and picked marks go, as a rebuilt list would lose them;
  // the caller marks the rows again.
  ClipList.prototype.unmark = function () {
    var row = this.rows[this.current];
    if (row) {
      row.classList.remove('current');
      row.removeAttribute('aria-current');
    }
    this.picked.forEach(function (li) { reused(li, +li.dataset.index); });
    this.picked = new Set();
  };

  ClipList.prototype.updateCount = function () {
    var n = this.rows.length;
    this.count.textContent = n === 1 ? VEK.i18n.t('clipCountOne') : VEK.i18n.t('clipCount', { n: n });
  };

  // `keepScroll`: the list was rebuilt around the same clip, and scrolling
  // to it would lay out the whole list at once, again for every report of
  // an intake.
  ClipList.prototype.setCurrent = function (index, keepScroll) {
    if (this.rows[this.current]) {
      this.rows[this.current].classList.remove('current');
      this.rows[this.current].removeAttribute('aria-current');
    }
    this.current = index;
    var row = this.rows[index];
    if (!row) return;
    row.classList.add('current');
    row.setAttribute('aria-current', 'true');
    if (!keepScroll) row.scrollIntoView({ block: 'nearest' });
  };

  ClipList.prototype.setPicked = function (index, on) {
    var row = this.rows[index];
    if (!row) return;
    row.classList.toggle('picked', on);
    row.querySelector('.clip-pick').checked = on;
    if (on) this.picked.add(row); else this.picked.delete(row);
  };

  // meta: {when, duration, tag} texts; missing fields stay as they are.
  ClipList.prototype.setMeta = function (index, meta) {
    var row = this.rows[index];
    if (!row) return;
    setText(row, '.clip-when', meta.when);
    setText(row, '.clip-duration', meta.duration);
    setText(row, '.clip-tag', meta.tag);
  };

  // Every report sets every row's texts again; an equal text is left alone.
  function setText(row, selector, text) {
    if (text == null) return;
    var el = row.querySelector(selector);
    if (el.textContent !== text) el.textContent = text;
  }

  VEK.ClipList = ClipList;
})(window.VEK = window.VEK || {});
