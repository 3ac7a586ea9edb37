'use strict';
// The page's console for the game (src/console/console_web.cpp): it shows what the game writes,
// clears at its word, and behaves as a terminal in line mode. Typed characters are echoed,
// Backspace edits, Enter sends the line, Ctrl-D on an empty line ends the input; at the pause one
// key press or one tap anywhere on the page goes on, unechoed and never an answer. Each screen's
// text is as large as the window lets it be, to be read from across a table.
//
// The console is the page's own, not a terminal emulator: the game writes only text and asks for
// a clear, and a plain text field takes a phone's soft keyboard as reliably as any form does.
//
// In four parts, each a function given what it uses, around the page's states that they share:
// fitting the text, the line discipline, taps and keys, and the game's run, which joins them. All
// of it stays inside one closure: the game's script (before this one) declares globals of its own.

const tolvane = (() => {
    // The page's states, as the body's data-state: the style sheet shows each by its name, and
    // the tests wait for them by these names (tolvane.states).
    const STATES = Object.freeze({
        loading: 'loading', // the game is being started
        running: 'running', // the game works and asks for nothing
        key: 'key', // the pause: one key press or one tap goes on
        byte: 'byte', // the question: the game reads what is typed or tapped
        ended: 'ended', // the game is over; New game starts another
        failed: 'failed', // the game could not start, or stopped: the status says what to do
    });
    const TOLD = {
        [STATES.ended]: 'The game has ended.',
        [STATES.failed]: 'This browser cannot run the game: open the page in a newer browser, '
            + 'or in another one.',
    };
    // A tap this soon after a new question does not answer it: the turn is seen first.
    const SEEN_MS = 250;
    const page = {
        body: document.body,
        screen: document.getElementById('screen'),
        output: document.getElementById('output'),
        line: document.getElementById('line'),
        typed: document.getElementById('typed'),
        answerKeys: document.querySelectorAll('button.answer'),
        status: document.getElementById('status'),
        newGame: document.getElementById('new-game'),
    };

    // ---- The page's states ---------------------------------------------------------------------
    // The keys take a tap only while the game asks, and only once its question has been on the
    // screen for a moment; otherwise they are there, announced disabled.
    function stateKeeper() {
        let settling = null;
        function enableKeys(enabled) {
            for (const key of page.answerKeys) {
                key.setAttribute('aria-disabled', String(!enabled));
            }
        }
        return {
            is: (state) => page.body.dataset.state === state,
            set(state) {
                page.body.dataset.state = state;
                clearTimeout(settling);
                enableKeys(false);
                if (state === STATES.byte) {
                    settling = setTimeout(enableKeys, SEEN_MS, true);
                }
            },
        };
    }

    // ---- Fitting the text ----------------------------------------------------------------------
    // The largest text at which the screen shows all its lines, wrapped between words only, and an
    // answer field as wide as its text up to the line's end, where the text scrolls within it.
    function textFitting({ screen, output, typed }) {
        let room = 0; // from the field to the end of its line, in px

        function fits() {
            return screen.scrollHeight <= screen.clientHeight
                && screen.scrollWidth <= screen.clientWidth;
        }

        function fitField() {
            typed.style.width = `min(${typed.value.length + 1}ch, ${room}px)`;
        }

        function showField() {
            typed.scrollIntoView({ block: 'nearest' });
        }

        // Found by halving: a monospace line's wrapping is easier measured than foretold. The
        // least size is the style sheet's, the browser's own text size; below it the screen
        // scrolls instead. An empty screen keeps it, lest the field alone be as tall as the window.
        // While measuring, the screen shows no scroll bar: one that a trial size brought would
        // narrow the lines and stay.
        function fit() {
            screen.style.fontSize = '';
            screen.classList.remove('cramped');
            screen.classList.add('fitting');
            typed.style.width = '';
            let low = parseFloat(getComputedStyle(screen).fontSize);
            if (!fits()) {
                screen.classList.toggle('cramped', screen.scrollWidth > screen.clientWidth);
            } else if (output.textContent !== '') {
                const lines = output.textContent.split('\n').length;
                let high = Math.max(low, screen.clientHeight / lines);
                while (high - low > 0.5) {
                    const size = (low + high) / 2;
                    screen.style.fontSize = `${size}px`;
                    [low, high] = fits() ? [size, high] : [low, size];
                }
                screen.style.fontSize = `${low}px`;
            }
            const padding = parseFloat(getComputedStyle(screen).paddingRight);
            room = Math.floor(screen.getBoundingClientRect().left + screen.clientWidth - padding
                - typed.getBoundingClientRect().left);
            screen.classList.remove('fitting');
            fitField();
            showField();
        }

        return { fit, fitField, showField };
    }

    // ---- The line discipline -------------------------------------------------------------------
    // One run's terminal in line mode: what the game writes waits until the game waits or clears;
    // a line typed or tapped is echoed, then read a byte at a time; the pause takes one key.
    function lineDiscipline({ output, typed }, state, fitting) {
        const unshown = [];
        const input = [];
        const decoder = new TextDecoder();
        const encoder = new TextEncoder();
        let waiting = null;

        // The game's bytes reach the page one at a time, and appear once it waits or clears:
        // nothing could be painted meanwhile, and a turn's text then enters the page (and the
        // screen reader's live region) at once. A line of asterisks alone is a frame around the
        // text: seen, not read out, and cut at the window's edge rather than wrapped.
        function showWritten() {
            if (unshown.length > 0) {
                const text = decoder.decode(Uint8Array.from(unshown), { stream: true });
                text.split(/^(\*+)$/m).forEach((part, index) => {
                    const frame = index % 2 === 1 && document.createElement('span');
                    if (frame) {
                        Object.assign(frame, { className: 'frame', textContent: part });
                        frame.setAttribute('aria-hidden', 'true');
                    }
                    output.append(frame || part);
                });
                unshown.length = 0;
            }
        }

        function wait(kind) {
            showWritten();
            state.set(kind);
            fitting.fit();
            return new Promise((resolve) => { waiting = { kind, resolve }; });
        }

        function resume(kind, value) {
            if (!waiting || waiting.kind !== kind) {
                return false;
            }
            const { resolve } = waiting;
            waiting = null;
            state.set(STATES.running);
            resolve(value);
            return true;
        }

        // Hands the game its next byte if it is waiting for one; otherwise the bytes wait for it.
        function deliver(bytes) {
            input.push(...bytes);
            if (waiting && waiting.kind === STATES.byte) {
                resume(STATES.byte, input.shift());
            }
        }

        return {
            // The game's side (the EM_JS functions of console_web.cpp).
            gameConsole: {
                clear() {
                    showWritten();
                    output.textContent = '';
                },
                key: () => wait(STATES.key),
                byte: () => (input.length > 0 ? input.shift() : wait(STATES.byte)),
            },
            written(byte) {
                unshown.push(byte);
            },
            showWritten,
            goOn: () => resume(STATES.key),
            // Sends text to standard input, as a terminal sends a line: echoed, then readable.
            send(text, ending) {
                if (state.is(STATES.key)) {
                    return;
                }
                output.append(text + ending);
                typed.value = '';
                fitting.fitField();
                fitting.showField();
                deliver(encoder.encode(text + ending));
            },
            // The end of the input, which the game reads as a terminal's Ctrl-D (console_web.cpp).
            endInput: () => deliver([-1]),
        };
    }

    // ---- Taps and keys -------------------------------------------------------------------------
    // What the page's keys, taps and field do, for the run that terminal() gives (null between
    // games).
    function tapsAndKeys({ screen, line, typed, answerKeys }, state, fitting, terminal) {
        const MODIFIERS = new Set(['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock']);
        // Where and when a tap last did something: a double tap answers once.
        const DOUBLE_TAP = { ms: 500, px: 48 };
        let lastTap = { time: -Infinity, x: 0, y: 0, key: null };

        // Tab moves the focus, as anywhere on a page, at the pause too: a keyboard's way to the
        // keys. A soft keyboard's key that tells nothing here is taken by the input event below.
        document.addEventListener('keydown', (event) => {
            const run = terminal();
            if (!run || MODIFIERS.has(event.key) || ['Unidentified', 'Tab'].includes(event.key)
                || event.isComposing) {
                return;
            }
            const endOfInput = event.ctrlKey && event.key.toLowerCase() === 'd';
            if (state.is(STATES.key)) {
                event.preventDefault();
                run.goOn();
                return;
            }
            // A key typed with the focus on the page, where a tap or a click left it, goes to the
            // field as if it had the focus; a button keeps its own keys.
            if (event.target !== typed) {
                const printable = event.key.length === 1 && !event.ctrlKey && !event.metaKey
                    && !event.altKey;
                if (event.target.closest('button')
                    || !(printable || endOfInput || ['Enter', 'Backspace'].includes(event.key))) {
                    return;
                }
                event.preventDefault();
                typed.focus();
                if (event.key === 'Enter') {
                    run.send(typed.value, '\n');
                } else if (!endOfInput) {
                    typed.value = printable ? typed.value + event.key : typed.value.slice(0, -1);
                    fitting.fitField();
                }
            }
            if (endOfInput) {
                // As on a terminal: the text typed so far is sent without a line end; with none,
                // the game reads the end of its input.
                event.preventDefault();
                if (typed.value === '') {
                    run.endInput();
                } else {
                    run.send(typed.value, '');
                }
            }
        });
        // A soft keyboard may tell its keys only by what they change in the field. A long answer
        // scrolls within the field, which ends at the line's end.
        typed.addEventListener('input', () => {
            if (state.is(STATES.key)) {
                typed.value = '';
                terminal()?.goOn();
            }
            fitting.fitField();
        });
        line.addEventListener('submit', (event) => {
            event.preventDefault();
            terminal()?.send(typed.value, '\n');
        });

        // The second tap of two on the same key or place. A click that a keyboard made (detail 0)
        // always counts, as typed yy plays two turns.
        function tapAgain(event, key) {
            const near = Math.hypot(event.clientX - lastTap.x, event.clientY - lastTap.y);
            return event.detail > 0 && event.timeStamp - lastTap.time < DOUBLE_TAP.ms
                && ((key && key === lastTap.key) || near < DOUBLE_TAP.px);
        }

        function tapCounted(event, key) {
            if (event.detail > 0) {
                lastTap = { time: event.timeStamp, x: event.clientX, y: event.clientY, key };
            }
        }

        // At the pause a tap anywhere goes on, on the keys too; otherwise a key's tap answers,
        // once its key takes taps. The second tap of a double tap does nothing: on y it would play
        // a turn that nobody saw, on New game skip the welcome.
        document.addEventListener('click', (event) => {
            const run = terminal();
            const key = event.target.closest('button.answer');
            if (!run || tapAgain(event, key)) {
                return;
            }
            const wentOn = run.goOn();
            if (wentOn || (key && key.getAttribute('aria-disabled') === 'false')) {
                tapCounted(event, key);
                if (!wentOn) {
                    run.send(typed.value + key.dataset.line, '\n');
                }
            }
            // A tap goes on from the pause without calling up a phone's keyboard, which would
            // hide half the console; a click on the console leaves the field ready for typing,
            // unless it selected text.
            const tapped = wentOn && event.pointerType === 'touch';
            if (screen.contains(event.target) && !tapped && window.getSelection().isCollapsed) {
                typed.focus();
            }
        });
        for (const button of answerKeys) {
            // The field keeps the focus, and a phone its keyboard as it was.
            button.addEventListener('mousedown', (event) => event.preventDefault());
        }
        return { tapCounted };
    }

    // ---- The game's run ------------------------------------------------------------------------
    // While a game is on, the screen stays awake where the browser lets a page ask: players fill
    // in their score sheets between turns. A hidden page loses its lock, and asks again when shown.
    function screenAwake() {
        let wanted = false;
        let lock = null;
        async function ask() {
            if (!wanted || document.visibilityState !== 'visible' || !navigator.wakeLock) {
                return;
            }
            try {
                const granted = await navigator.wakeLock.request('screen');
                lock?.release();
                lock = granted;
                if (!wanted) {
                    letGo();
                }
            } catch {
                // Refused: the screen dims as it would have.
            }
        }
        function letGo() {
            wanted = false;
            lock?.release();
            lock = null;
        }
        document.addEventListener('visibilitychange', ask);
        return {
            keep() {
                wanted = true;
                ask();
            },
            letGo,
        };
    }

    const state = stateKeeper();
    const fitting = textFitting(page);
    const awake = screenAwake();
    let run = null;
    const taps = tapsAndKeys(page, state, fitting, () => run);
    new ResizeObserver(fitting.fit).observe(page.screen);
    // What the running game has written, a character a byte, for whoever needs its exact bytes.
    const shared = { transcript: '', states: STATES };

    // Each game is a new run of the program: a fresh instance, a new seed, the welcome screen.
    async function play() {
        run = lineDiscipline(page, state, fitting);
        shared.transcript = '';
        page.output.textContent = '';
        page.status.textContent = '';
        state.set(STATES.loading);
        awake.keep();
        const thisRun = run;
        const written = (signedByte) => {
            const byte = signedByte & 0xff;
            thisRun.written(byte);
            shared.transcript += String.fromCharCode(byte);
        };
        let end = STATES.ended;
        try {
            const game = await createTolvane({
                gameConsole: thisRun.gameConsole, stdout: written, stderr: written,
            });
            state.set(STATES.running);
            page.typed.focus();
            await game.ccall('main', 'number', [], [], { async: true });
        } catch {
            // No WebAssembly (an old or locked-down browser), or a game that could not run.
            end = STATES.failed;
        }
        thisRun.showWritten();
        run = null;
        awake.letGo();
        state.set(end);
        // Told in the status region that was there all along, so that a screen reader hears it.
        page.status.textContent = TOLD[end];
        fitting.fit();
        page.newGame.focus();
    }
    page.newGame.addEventListener('click', (event) => {
        taps.tapCounted(event, null);
        play();
    });

    // Served from a web host, the page can be installed and plays offline; from a file it cannot.
    if (location.protocol !== 'file:' && 'serviceWorker' in navigator) {
        for (const [rel, href] of [['manifest', 'manifest.webmanifest'], ['icon', 'tolvane.svg'],
            ['apple-touch-icon', 'apple-touch-icon.png']]) {
            document.head.append(Object.assign(document.createElement('link'), { rel, href }));
        }
        navigator.serviceWorker.register('service-worker.js');
    }
    play();
    return shared;
})();
