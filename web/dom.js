// The page's glue to the document, for the module (web/dom.h): the JavaScript objects it works
// on, held here by handle, and the calls it makes on them. Names come as ASCII bytes, texts as
// UTF-16 code units, each as a pointer and a length, and go back unchanged.
mergeInto(LibraryManager.library, {
  $dom: {
    objects: [],
    unused: [],
    hold: function (object) {
      var handle = dom.unused.length ? dom.unused.pop() : dom.objects.length + 3;
      dom.objects[handle - 3] = object;
      return handle;
    },
    release: function (handle) {
      dom.objects[handle - 3] = null;
      dom.unused.push(handle);
    },
    get: function (handle) {
      return handle === 1 ? document : handle === 2 ? window : handle > 2 ? dom.objects[handle - 3] : null;
    },
    name: function (pointer, length) {
      return String.fromCharCode.apply(null, HEAPU8.subarray(pointer, pointer + length));
    },
    text: function (pointer, length) {
      var text = "";
      for (var at = pointer >> 1, end = at + length; at < end; at += 4096) {
        text += String.fromCharCode.apply(null, HEAPU16.subarray(at, Math.min(at + 4096, end)));
      }
      return text;
    },
    event: function (listener, event) {
      var handle = event ? dom.hold(event) : 0;
      try {
        _web_event(listener, handle);
      } finally {
        if (handle) dom.release(handle);
      }
    },
  },
  dom_by_id__deps: ["$dom"],
  dom_by_id: function (id, length) {
    var element = document.getElementById(dom.text(id, length));
    return element ? dom.hold(element) : 0;
  },
  dom_query__deps: ["$dom"],
  dom_query: function (element, selector, length) {
    var object = dom.get(element);
    var found = object && object.querySelector(dom.name(selector, length));
    return found ? dom.hold(found) : 0;
  },
  dom_connected__deps: ["$dom"],
  dom_connected: function (element) {
    var object = dom.get(element);
    return object && object.isConnected ? 1 : 0;
  },
  dom_is__deps: ["$dom"],
  dom_is: function (object, property, length, other) {
    var it = dom.get(object);
    return it && it[dom.name(property, length)] === dom.get(other) ? 1 : 0;
  },
  dom_text_length__deps: ["$dom"],
  dom_text_length: function (object, property, length) {
    var it = dom.get(object);
    return it ? String(it[dom.name(property, length)]).length : 0;
  },
  dom_copy_text__deps: ["$dom"],
  dom_copy_text: function (object, property, length, into) {
    var text = String(dom.get(object)[dom.name(property, length)]);
    for (var i = 0, at = into >> 1; i < text.length; ++i) HEAPU16[at + i] = text.charCodeAt(i);
  },
  dom_flag__deps: ["$dom"],
  dom_flag: function (object, property, length) {
    var it = dom.get(object);
    return it && it[dom.name(property, length)] ? 1 : 0;
  },
  dom_set_text__deps: ["$dom"],
  dom_set_text: function (object, property, length, text, textLength) {
    dom.get(object)[dom.name(property, length)] = dom.text(text, textLength);
  },
  dom_set_utf8__deps: ["$dom"],
  dom_set_utf8: function (object, property, length, text, textLength) {
    dom.get(object)[dom.name(property, length)] = new TextDecoder().decode(HEAPU8.subarray(text, text + textLength));
  },
  dom_set_flag__deps: ["$dom"],
  dom_set_flag: function (object, property, length, on) {
    dom.get(object)[dom.name(property, length)] = !!on;
  },
  dom_call__deps: ["$dom"],
  dom_call: function (object, method, length) {
    dom.get(object)[dom.name(method, length)]();
  },
  dom_set_class__deps: ["$dom"],
  dom_set_class: function (element, name, length, on) {
    dom.get(element).classList.toggle(dom.name(name, length), !!on);
  },
  dom_listen__deps: ["$dom"],
  dom_listen: function (target, type, length, listener, capture) {
    dom.get(target).addEventListener(dom.name(type, length), function (event) {
      dom.event(listener, event);
    }, !!capture);
  },
  dom_later__deps: ["$dom"],
  dom_later: function (listener, milliseconds) {
    setTimeout(function () {
      dom.event(listener, null);
    }, milliseconds);
  },
});
