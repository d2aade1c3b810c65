// The page's side of the font backend: what C++ asks of the canvas for text. Each function is
// safe to call where there is no page (Node runs the tests): it then reports that it has nothing.
mergeInto(LibraryManager.library, {
  $kelvoraTextCanvas: null,
  $kelvoraTextContext__deps: ['$kelvoraTextCanvas'],
  $kelvoraTextContext: function (width, height) {
    if (typeof document === 'undefined') return null;
    if (!kelvoraTextCanvas) kelvoraTextCanvas = document.createElement('canvas');
    if (kelvoraTextCanvas.width < width) kelvoraTextCanvas.width = width;
    if (kelvoraTextCanvas.height < height) kelvoraTextCanvas.height = height;
    var context = kelvoraTextCanvas.getContext('2d', { willReadFrequently: true });
    return context;
  },
  $kelvoraFont: function (family, size, weight) {
    return weight + ' ' + size + 'px "' + UTF8ToString(family) + '"';
  },

  kelvora_font_metrics__deps: ['$kelvoraTextContext', '$kelvoraFont'],
  kelvora_font_metrics: function (family, size, weight, ascent, descent) {
    var context = kelvoraTextContext(1, 1);
    if (!context) return 0;
    context.font = kelvoraFont(family, size, weight);
    var metrics = context.measureText('W\u4e2d');
    HEAP32[ascent >> 2] = Math.ceil(metrics.fontBoundingBoxAscent);
    HEAP32[descent >> 2] = Math.ceil(metrics.fontBoundingBoxDescent);
    return 1;
  },

  kelvora_font_advance__deps: ['$kelvoraTextContext', '$kelvoraFont'],
  kelvora_font_advance: function (family, size, weight, character) {
    var context = kelvoraTextContext(1, 1);
    if (!context) return 0;
    context.font = kelvoraFont(family, size, weight);
    return Math.round(context.measureText(UTF8ToString(character)).width);
  },

  kelvora_font_draw__deps: ['$kelvoraTextContext', '$kelvoraFont'],
  kelvora_font_draw: function (family, size, weight, character, penX, baseline, width, height, coverage) {
    var context = kelvoraTextContext(width, height);
    if (!context) return;
    context.clearRect(0, 0, width, height);
    context.font = kelvoraFont(family, size, weight);
    context.textBaseline = 'alphabetic';
    context.fillStyle = '#fff';
    context.fillText(UTF8ToString(character), penX, baseline);
    var pixels = context.getImageData(0, 0, width, height).data;
    for (var i = 0; i < width * height; i++) HEAPU8[coverage + i] = pixels[i * 4 + 3];
  },
});
