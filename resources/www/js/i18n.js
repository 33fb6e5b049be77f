// Interface texts in English and Traditional Chinese. Elements carry
// data-i18n (text), data-i18n-title (tooltip) or data-i18n-aria (label).
(function (VEK) {
  'use strict';

  var STRINGS = {
    ENG: {
      appTitle: 'VEK dash-camera viewer',
      import: 'Import clips', merge: 'Merge', mergeCount: 'Merge {n} clips',
      frameSnapshot: 'Frame snapshot', windowSnapshot: 'Window snapshot',
      record: 'Record screen', stopRecord: 'Stop recording', openFolder: 'Output folder',
      clips: 'Clips', clipCount: '{n} clips', clipCountOne: '1 clip',
      empty: 'No clips yet: import or drop clips from your card',
      dropHint: 'Drop clips anywhere to import them', dropNow: 'Drop to import',
      remove: 'Remove from list', removeSelected: 'Remove', removeSelectedLong: 'Remove the selected clips from the list',
      chartsEmpty: 'Speed and G-sensor over the clip appear here', videoEmpty: 'Imported clips play here', selectForMerge: 'Select for merge',
      clearSelection: 'Clear',
      noClip: 'Choose a clip to play it', speed: 'Speed', position: 'Position',
      gsensor: 'G-sensor', status: 'GPS status', gpsSource: 'GPS data', recorded: 'Recorded', fix: 'Fix', noFix: 'No fix',
      kmh: 'km/h', mph: 'mph', speedChart: 'Speed', gChart: 'G-sensor',
      noTrack: 'Readings appear here while a clip with GPS data plays',
      routeEmpty: 'The route appears here while a clip with GPS data plays',
      trackLoading: 'Reading the GPS data…',
      trackMissing: 'No GPS data file for this clip',
      trackTooLarge: 'Track too large: far more GPS records than a camera writes',
      trackBroken: 'The GPS data file of this clip cannot be read',
      trackNoData: 'The GPS data file does not cover this clip',
      trackEmpty: 'This clip has no GPS samples',
      noRoute: 'No GPS position in this clip',
      videoLooking: 'Looking for the clip…',
      videoMissing: 'The clip is not where it was: {name}',
      videoFailed: 'This clip cannot be played: {name}',
      videoNoPicture: 'The clip plays without picture: its video format is not supported',
      noImport: 'No new clips were imported',
      imported: 'Imported {name}',
      intakeClips: '{done} of {total} clips', intakeSeconds: 'about {n} s left',
      intakeMinutes: 'about {n} min left', intakeCancelled: 'stopped', cancel: 'Cancel',
      intakeLooking: 'Looking for clips…',
      intakeFailed: '{name} could not be read: {reason}',
      cardOffer: 'Import {n} clips ({size}) from {card}', cardOfferOne: 'Import 1 clip ({size}) from {card}',
      snapshotSaved: 'Snapshot saved to the output folder',
      snapshotFailed: 'Snapshot not saved: {reason}',
      pageRestarted: 'The viewer page {reason} and was reloaded',
      exportStarted: 'Merging {n} clips…', exporting: 'Exporting… {p}%',
      exportCompleted: 'Export completed: the movie is in the output folder',
      exportFailed: 'Export failed', exportOther: '{text}',
      exportOptions: 'Export…', exportReencode: 'Re-encode', exportOverlay: 'With readings',
      exportCopy: 'Original quality', exportCopyNote: 'Original quality is cut at the nearest key frames.',
      markIn: 'In (i)', markOut: 'Out (o)', clearMarks: 'Clear marks', exportCancel: 'Cancel export',
      exportWhole: 'Whole clips', exportRange: 'From {a} to {b}', exportEnd: 'the end',
      exportCopyStarted: 'Joining {n} clips…', exportSaved: 'Saved {path}', exportCancelled: 'Export cancelled',
      exportReversed: 'The out point lies before the in point',
      exportIncompatible: 'These clips differ in codec, frame size, frame rate or sound: re-encode them instead',
      elClock: 'Date and time', elSpeed: 'Speed', elPosition: 'Position', elDecimal: 'decimal degrees',
      elGforce: 'G-force', elRoute: 'Route',
      recording: 'Recording', play: 'Play', pause: 'Pause', prevClip: 'Previous clip',
      nextClip: 'Next clip', stepBack: 'Previous frame', stepForward: 'Next frame', rate: 'Playback rate',
      keys: 'Space play/pause · ←/→ 5 s · , . frame · [ ] rate · e/E event',
      unit: 'Speed unit', language: 'Language', noGps: 'No GPS', tooLarge: 'Track too large',
      timeSettings: 'Time & trips', cameraZone: 'Camera time zone', displayZone: 'Show times in',
      correction: 'Clock correction (s)', tripGap: 'Trip gap (s)', eventThreshold: 'Event threshold (g)',
      cameraZoneDefault: 'As recorded ({offset})', displayZoneDefault: 'This computer ({zone})',
      tripSpeeds: 'max {max} · avg {avg}', tripEvents: '{n} events', tripEventOne: '1 event',
      exportRoute: 'Export route', routeClip: 'This clip', routeTrip: 'This trip', routePicked: 'Selected clips',
      routeSaved: 'Route saved to the output folder: {name}', routeFailed: 'The route could not be saved: {text}',
      routeNothing: 'No clip to export the route of', routeScope: 'Clips of the route', routeFormat: 'Route file format',
      famFreeGps: 'freeGPS boxes', famGps0: 'gps0/gsen records', famNone: 'no GPS data found',
      famEncrypted: 'encrypted, not readable', famSingleFix: 'freeGPS single-fix record (family 1)',
      famGpmd: 'gpmd GPMF metadata track (family 2)',
      famFreeGpsText: 'freeGPS text: RMC, subtract-16 RMC or slash-dated line (family 3)',
      famInt32: 'freeGPS int32 DDMM block (family 4)', famGpsBox: 'top-level GPS box (family 4)',
      famV02: '$V02 CSV log (family 4)', famFreeChildren: 'free atom with gps/3gf children (family 5)',
      famGpsSidecar: '.gps/.3gf sidecar (family 5)', famSubtitleNmea: 'NMEA in a subtitle track (family 6)',
      famSubtitleBinary: 'binary subtitle struct (family 7)',
      famGps0Xor: 'XOR-0xAA text records in a gps0 atom (family 8)', famAitg: 'AITG gps0 trailer (family 8)',
      famXorFreeGps: 'XOR-0xAA text records in freeGPS blocks (family 10)',
      famXorTrack: 'XOR-0xAA text records in a track (family 10)', famCamm: 'camm metadata track (family 11)',
      famNmeaSidecar: 'NMEA sidecar (family 13)', famMapSidecar: 'CSV .map sidecar (family 13)',
      famSrtSidecar: 'SubRip telemetry sidecar (family 15)'
    },
    CHT: {
      appTitle: 'VEK 行車記錄器播放程式',
      import: '匯入影片', merge: '合併', mergeCount: '合併 {n} 段影片',
      frameSnapshot: '畫面截圖', windowSnapshot: '視窗截圖',
      record: '螢幕錄影', stopRecord: '停止錄影', openFolder: '輸出資料夾',
      clips: '影片', clipCount: '{n} 段影片', clipCountOne: '1 段影片',
      empty: '尚無影片：請從記憶卡匯入或拖放影片',
      dropHint: '將影片拖放到視窗即可匯入', dropNow: '放開以匯入',
      remove: '從清單移除', removeSelected: '移除', removeSelectedLong: '從清單移除所選影片',
      chartsEmpty: '影片的速度與 G 感應器圖表會顯示在這裡', videoEmpty: '匯入的影片會在這裡播放', selectForMerge: '選取以合併',
      clearSelection: '清除',
      noClip: '選擇一段影片開始播放', speed: '速度', position: '位置',
      gsensor: 'G 感應器', status: 'GPS 狀態', gpsSource: 'GPS 資料', recorded: '錄製時間', fix: '已定位', noFix: '未定位',
      kmh: '公里/時', mph: '英里/時', speedChart: '速度', gChart: 'G 感應器',
      noTrack: '播放含 GPS 資料的影片時，數據會顯示在這裡',
      routeEmpty: '播放含 GPS 資料的影片時，路線會顯示在這裡',
      trackLoading: '正在讀取 GPS 資料…',
      trackMissing: '這段影片沒有 GPS 資料檔',
      trackTooLarge: '軌跡過大：這段影片的 GPS 紀錄遠多於行車記錄器所寫',
      trackBroken: '無法讀取這段影片的 GPS 資料檔',
      trackNoData: 'GPS 資料檔不包含這段影片',
      trackEmpty: '這段影片沒有 GPS 資料',
      noRoute: '這段影片沒有 GPS 位置',
      videoLooking: '正在尋找影片…',
      videoMissing: '影片已不在原來的位置：{name}',
      videoFailed: '無法播放這段影片：{name}',
      videoNoPicture: '影片沒有畫面：不支援其視訊格式',
      noImport: '沒有匯入新的影片',
      imported: '已匯入 {name}',
      intakeClips: '{done} / {total} 段影片', intakeSeconds: '約剩 {n} 秒',
      intakeMinutes: '約剩 {n} 分鐘', intakeCancelled: '已停止', cancel: '取消',
      intakeLooking: '正在尋找影片…',
      intakeFailed: '無法讀取 {name}：{reason}',
      cardOffer: '從 {card} 匯入 {n} 段影片（{size}）', cardOfferOne: '從 {card} 匯入 1 段影片（{size}）',
      snapshotSaved: '截圖已存到輸出資料夾',
      snapshotFailed: '截圖未儲存：{reason}',
      pageRestarted: '檢視頁面已重新載入（{reason}）',
      exportStarted: '正在合併 {n} 段影片…', exporting: '匯出中… {p}%',
      exportCompleted: '匯出完成：影片在輸出資料夾中',
      exportFailed: '匯出失敗', exportOther: '{text}',
      exportOptions: '匯出…', exportReencode: '重新編碼', exportOverlay: '附行車資訊',
      exportCopy: '原始畫質', exportCopyNote: '原始畫質在最近的關鍵影格處剪切。',
      markIn: '起點 (i)', markOut: '終點 (o)', clearMarks: '清除標記', exportCancel: '取消匯出',
      exportWhole: '整段影片', exportRange: '從 {a} 到 {b}', exportEnd: '結尾',
      exportCopyStarted: '正在接合 {n} 段影片…', exportSaved: '已儲存 {path}', exportCancelled: '已取消匯出',
      exportReversed: '終點在起點之前',
      exportIncompatible: '這些影片的編碼、畫面大小、幀率或聲音不同：請改用重新編碼',
      elClock: '日期時間', elSpeed: '速度', elPosition: '位置', elDecimal: '十進位度數',
      elGforce: 'G 值', elRoute: '路線',
      recording: '錄影中', play: '播放', pause: '暫停', prevClip: '上一段',
      nextClip: '下一段', stepBack: '上一格', stepForward: '下一格', rate: '播放速度',
      keys: '空白鍵 播放/暫停 · ←/→ 5 秒 · , . 逐格 · [ ] 速度 · e/E 事件',
      unit: '速度單位', language: '語言', noGps: '無 GPS', tooLarge: '軌跡過大',
      timeSettings: '時間與行程', cameraZone: '攝影機時區', displayZone: '顯示時區',
      correction: '時鐘校正（秒）', tripGap: '行程間隔（秒）', eventThreshold: '事件門檻（g）',
      cameraZoneDefault: '依錄製（{offset}）', displayZoneDefault: '這部電腦（{zone}）',
      tripSpeeds: '最高 {max} · 平均 {avg}', tripEvents: '{n} 個事件', tripEventOne: '1 個事件',
      exportRoute: '匯出路線', routeClip: '這段影片', routeTrip: '這趟行程', routePicked: '所選影片',
      routeSaved: '路線已存到輸出資料夾：{name}', routeFailed: '無法儲存路線：{text}',
      routeNothing: '沒有可匯出路線的影片', routeScope: '路線的影片', routeFormat: '路線檔格式',
      famFreeGps: 'freeGPS 區塊', famGps0: 'gps0/gsen 紀錄', famNone: '找不到 GPS 資料',
      famEncrypted: '已加密，無法讀取', famSingleFix: 'freeGPS 單點定位紀錄（第 1 類）',
      famGpmd: 'gpmd GPMF 中繼資料軌（第 2 類）',
      famFreeGpsText: 'freeGPS 文字：RMC、減 16 的 RMC 或斜線日期行（第 3 類）',
      famInt32: 'freeGPS int32 DDMM 區塊（第 4 類）', famGpsBox: '頂層 GPS 區塊（第 4 類）',
      famV02: '$V02 CSV 記錄檔（第 4 類）', famFreeChildren: '含 gps/3gf 子區塊的 free 區塊（第 5 類）',
      famGpsSidecar: '.gps/.3gf 附屬檔（第 5 類）', famSubtitleNmea: '字幕軌中的 NMEA（第 6 類）',
      famSubtitleBinary: '二進位字幕結構（第 7 類）',
      famGps0Xor: 'gps0 區塊中的 XOR-0xAA 文字紀錄（第 8 類）', famAitg: 'AITG gps0 檔尾資料（第 8 類）',
      famXorFreeGps: 'freeGPS 區塊中的 XOR-0xAA 文字紀錄（第 10 類）',
      famXorTrack: '影音軌中的 XOR-0xAA 文字紀錄（第 10 類）', famCamm: 'camm 中繼資料軌（第 11 類）',
      famNmeaSidecar: 'NMEA 附屬檔（第 13 類）', famMapSidecar: 'CSV .map 附屬檔（第 13 類）',
      famSrtSidecar: 'SubRip 遙測字幕附屬檔（第 15 類）'
    }
  };

  var current = 'ENG';

  function t(key, vars) {
    var text = (STRINGS[current] && STRINGS[current][key]) || STRINGS.ENG[key] || key;
    return text.replace(/\{(\w+)\}/g, function (all, name) {
      return vars && vars[name] != null ? String(vars[name]) : all;
    });
  }

  function apply(root) {
    var scope = root || document;
    scope.querySelectorAll('[data-i18n]').forEach(function (el) { el.textContent = t(el.dataset.i18n); });
    scope.querySelectorAll('[data-i18n-title]').forEach(function (el) { el.title = t(el.dataset.i18nTitle); });
    scope.querySelectorAll('[data-i18n-aria]').forEach(function (el) {
      el.setAttribute('aria-label', t(el.dataset.i18nAria));
    });
  }

  var applied = null; // the language the document shows

  // Every settings read sets the language: the document, hundreds of list
  // rows among it, is written again only when the language changes.
  function setLanguage(code) {
    current = STRINGS[code] ? code : 'ENG';
    if (current === applied) return;
    applied = current;
    document.documentElement.lang = current === 'CHT' ? 'zh-Hant' : 'en';
    document.title = t('appTitle');
    apply(document);
  }

  // The key under `prefix` whose English text is `english`, or '' (texts the
  // native side records in English, shown in the page's language).
  function keyOf(prefix, english) {
    var keys = Object.keys(STRINGS.ENG);
    for (var i = 0; i < keys.length; i++) {
      if (keys[i].indexOf(prefix) === 0 && STRINGS.ENG[keys[i]] === english) return keys[i];
    }
    return '';
  }

  VEK.i18n = { t: t, apply: apply, setLanguage: setLanguage, keyOf: keyOf,
    language: function () { return current; } };
})(window.VEK = window.VEK || {});
