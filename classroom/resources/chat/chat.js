// The audio player of the conversation header. The institute's script, which
// the page loads after this one, may replace playerUpdate and outputUpdate.
function playerUpdate(play) {
    var audio = document.getElementById('radio');
    if (!audio)
        return;
    if (play)
        audio.play();
    else
        audio.pause();
    var playButton = document.getElementById('btn-play');
    var pauseButton = document.getElementById('btn-pause');
    if (playButton)
        playButton.className = play ? 'play-btn-disabled' : 'play-btn';
    if (pauseButton)
        pauseButton.className = play ? 'pause-btn' : 'pause-btn-disabled';
}

function outputUpdate(volume) {
    var audio = document.getElementById('radio');
    if (audio)
        audio.volume = volume;
}

document.addEventListener('click', function (event) {
    if (event.target.id === 'btn-play')
        playerUpdate(true);
    else if (event.target.id === 'btn-pause')
        playerUpdate(false);
}, false);

document.addEventListener('input', function (event) {
    if (event.target.id === 'vol-bar')
        outputUpdate(event.target.value);
}, false);
