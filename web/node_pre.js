// The standard streams are terminals only when node's are: the checker and
// -w format for a terminal, and the tests read them through pipes. The
// streams exist once the runtime has set up its files, before main().
Module.preRun = [].concat(Module.preRun || [], () => {
  addOnInit(() => {
    const tty = require('tty');
    for (const fd of [0, 1, 2]) {
      const stream = FS.getStream(fd);
      if (stream && !tty.isatty(fd)) stream.tty = undefined;
    }
  });
});
