// The browser: a page's own file system, and a window of all its pixels.
#include "platform/FileCalls.h"
#include "platform/System.h"

#include <SDL.h>

#include <GLES2/gl2.h>

// High DPI in the browser: a page with more pixels than points (a phone)
// gets them all, and the view is fitted to them.
std::uint32_t SystemWindowFlags()
{
    return SDL_WINDOW_ALLOW_HIGHDPI;
}

bool SystemCoversTheScreen(SDL_Window* /*window*/)
{
    return true;
}

void NarrateWhereItCanBeRead() {}

bool file_calls::OnPseudoFileSystem(int /*fd*/)
{
    return false;
}

// The sharp look in one pass: the picture sampled smoothly only within the
// last `factor`th of a pixel of each edge, which is what smoothing its
// `factor` times enlargement gives, without drawing the enlargement. On a
// phone or a machine whose WebGL is drawn by the processor, the enlargement
// was a whole extra picture of up to four times the view's pixels.
namespace
{
constexpr const char* kVertexShader = R"(
attribute vec2 a_corner;
varying vec2 v_texel;
uniform vec2 u_size;
void main()
{
    // The picture's top row is its texture's first: the window's top left
    // corner samples (0, 0).
    v_texel = vec2(a_corner.x, 1.0 - a_corner.y) * u_size;
    gl_Position = vec4(a_corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec2 v_texel;
uniform vec2 u_size;
uniform float u_factor;
uniform vec2 u_order;
uniform sampler2D u_picture;
void main()
{
    vec2 offset = fract(v_texel) - 0.5;
    float inside = 0.5 - 0.5 / u_factor;
    vec2 edge = (offset - clamp(offset, -inside, inside)) * u_factor;
    vec4 colour = texture2D(u_picture, (floor(v_texel) + 0.5 + edge) / u_size);
    // WebGL knows only RGBA bytes: a picture kept as BGRA has its red and
    // blue swapped back, and one without alpha is opaque.
    colour.rgb = mix(colour.rgb, colour.bgr, u_order.x);
    colour.a = max(colour.a, u_order.y);
    gl_FragColor = colour;
}
)";

GLuint Compile(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE)
    {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

struct SharpPass
{
    GLuint program = 0;
    GLuint corners = 0;
    GLint size = -1;
    GLint factor = -1;
    GLint order = -1;
};

// Built once, on the first picture that needs it; a browser that cannot
// build it (no program) keeps SDL's passes.
SharpPass Build()
{
    SharpPass pass;
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (vertex != 0 && fragment != 0)
    {
        pass.program = glCreateProgram();
        glAttachShader(pass.program, vertex);
        glAttachShader(pass.program, fragment);
        glBindAttribLocation(pass.program, 0, "a_corner");
        glLinkProgram(pass.program);
        GLint linked = GL_FALSE;
        glGetProgramiv(pass.program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE)
        {
            glDeleteProgram(pass.program);
            pass.program = 0;
        }
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (pass.program == 0)
    {
        return pass;
    }
    pass.size = glGetUniformLocation(pass.program, "u_size");
    pass.factor = glGetUniformLocation(pass.program, "u_factor");
    pass.order = glGetUniformLocation(pass.program, "u_order");
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glUseProgram(pass.program);
    glUniform1i(glGetUniformLocation(pass.program, "u_picture"), 0);
    glUseProgram(static_cast<GLuint>(program));
    GLint buffer = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    constexpr GLfloat kCorners[] = {0, 0, 1, 0, 0, 1, 1, 1};
    glGenBuffers(1, &pass.corners);
    glBindBuffer(GL_ARRAY_BUFFER, pass.corners);
    glBufferData(GL_ARRAY_BUFFER, sizeof kCorners, kCorners, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
    return pass;
}

// What the pass changes of the GL state SDL's renderer keeps track of, put
// back as it was, so that SDL's next draw finds what it expects.
struct KeptState
{
    GLint program = 0;
    GLint buffer = 0;
    GLint viewport[4] = {};
    GLboolean blend = GL_FALSE;
    GLboolean scissor = GL_FALSE;
    GLint pointerSize = 0;
    GLint pointerType = 0;
    GLint pointerNormalized = 0;
    GLint pointerStride = 0;
    GLint pointerBuffer = 0;
    void* pointer = nullptr;

    KeptState()
    {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
        blend = glIsEnabled(GL_BLEND);
        scissor = glIsEnabled(GL_SCISSOR_TEST);
        glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_SIZE, &pointerSize);
        glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_TYPE, &pointerType);
        glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &pointerNormalized);
        glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &pointerStride);
        glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &pointerBuffer);
        glGetVertexAttribPointerv(0, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    }
    KeptState(const KeptState&) = delete;
    KeptState& operator=(const KeptState&) = delete;

    ~KeptState()
    {
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(pointerBuffer));
        glVertexAttribPointer(0, pointerSize, static_cast<GLenum>(pointerType),
                              static_cast<GLboolean>(pointerNormalized), pointerStride, pointer);
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
        glUseProgram(static_cast<GLuint>(program));
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        (blend != GL_FALSE ? glEnable : glDisable)(GL_BLEND);
        (scissor != GL_FALSE ? glEnable : glDisable)(GL_SCISSOR_TEST);
    }
};
} // namespace

bool SystemShowsSharp(SDL_Renderer* renderer, SDL_Texture* picture, int factor,
                      const SDL_Rect& place)
{
    static const SharpPass pass = Build();
    if (pass.program == 0)
    {
        return false;
    }
    std::uint32_t format = 0;
    int width = 0;
    int height = 0;
    SDL_QueryTexture(picture, &format, nullptr, &width, &height);
    const bool swapped = format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888;
    const bool opaque = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_BGR888;
    if (!swapped && !opaque && format != SDL_PIXELFORMAT_ABGR8888)
    {
        return false;
    }
    // What SDL has queued (the picture itself, the window's black) is drawn
    // first; the texture is smoothed where it is sampled.
    SDL_RenderFlush(renderer);
    SDL_SetTextureScaleMode(picture, SDL_ScaleModeLinear);
    if (SDL_GL_BindTexture(picture, nullptr, nullptr) != 0)
    {
        return false;
    }
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    {
        const KeptState kept;
        glUseProgram(pass.program);
        glUniform2f(pass.size, static_cast<GLfloat>(width), static_cast<GLfloat>(height));
        glUniform1f(pass.factor, static_cast<GLfloat>(factor));
        glUniform2f(pass.order, swapped ? 1.0F : 0.0F, opaque ? 1.0F : 0.0F);
        glDisable(GL_BLEND);
        glDisable(GL_SCISSOR_TEST);
        glViewport(place.x, outputHeight - place.y - place.h, place.w, place.h);
        glBindBuffer(GL_ARRAY_BUFFER, pass.corners);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    SDL_GL_UnbindTexture(picture);
    return true;
}
