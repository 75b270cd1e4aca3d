// The built-in Spanish texts of every translatable key and the message slot table.
// Generated once from the catalogue listing; edit by hand from now on.
#include "core/texts/text_table.h"

namespace tornavo {

namespace {

constexpr TextDefault kDefaults[] = {
    {0, ", código: "},                                                  // slot 0
    {1, "Ha pasado el tiempo de espera en la fase 2 de negociación."},  // slot 1
    {2, "Error en la fase 6 de negociación. Ack Low"},                  // slot 2
    {3, "Error en la fase 6 de negociación. Select High"},              // slot 3
    {4, "Recibe"},                                                      // slot 4
    {5, "Envía"},                                                       // slot 5
    {6, "Verifica"},                                                    // slot 6
    {7,
     "Archivo de Texto Tornavo (TXT)|*.txt|Archivo de Texto KVL5208 (TXT)|*.txt|Archivo "
     "Binario (BIN)|*.bin"},                          // slot 7
    {8, "¡ Fichero de eeprom erróneo !"},             // slot 8
    {9, "La longitud de la línea "},                  // slot 9
    {10, " es incorrecta."},                          // slot 10
    {11, "El comando de la línea "},                  // slot 11
    {12, " es incorrecto"},                           // slot 12
    {13, "Valor hexadecimal inválido en la línea "},  // slot 13
    {14, "La longitud del fichero es incorrecto."},   // slot 14
    {15,
     "Archivo Binario (BIN)|*.bin|Archivo RCU (RCU)|*.rcu|Archivo RCS (RCS)|*.rcs|Archivo de "
     "Texto (TXT)|*.txt|Archivo HTML (HTM)|*.htm|Todos los archivos (*.*)|*.*"},  // slot 15
    {16, "Enviando"},                                                             // slot 16
    {17, "Mostrar Progreso"},  // page "Firmware (Paralelo+Serie)" › check box
    {18, "Firmware (JTag)"},   // page tab
    {19, "Se ha llegado al limite de reintentos. "},            // slot 19
    {20, "Contacte con el autor de este programa."},            // slot 20
    {21, "¡ Eeprom leída con éxito !"},                         // slot 21
    {22, "¡ Eeprom escrita con éxito !"},                       // slot 22
    {23, "¡ Esta línea no es igual que la original !"},         // slot 23
    {24, "Línea verificada."},                                  // slot 24
    {25, "Se ha llegado al límite de reintentos. "},            // slot 25
    {26, "¡ Verificación completada !"},                        // slot 26
    {27, "Los resultados se encuentran en el log."},            // slot 27
    {28, "Estado tras apertura y negociación: "},               // slot 28
    {29, "Abriendo LPT1"},                                      // slot 29
    {30, "Terminación 1 erronea."},                             // slot 30
    {31, "Estado actual: "},                                    // slot 31
    {32, "Enviando archivo..."},                                // slot 32
    {33, "Error en la posición "},                              // slot 33
    {34, ". Continuo la transmisión corrigiendo el error..."},  // slot 34
    {35, "Error en la recuperación de un error anterior."},     // slot 35
    {36, "Cerrando LPT1"},                                      // slot 36
    {37, "Terminación 2 erronea."},                             // slot 37
    {38, "Esperando respuesta del decodificador. Puede tardar algo más de un minuto..."},  // slot
                                                                                           // 38
    {39, "No se ha podido abrir el puerto paralelo."},                               // slot 39
    {40, "El decodificador no permite enviar ese archivo a esa dirección."},         // slot 40
    {41, "¡ Actualización completada con éxito !"},                                  // slot 41
    {42, "El decodificador informa que la actualización ha sido erronea."},          // slot 42
    {43, "¡ No hay respuesta del decodificador en ese puerto serie !"},              // slot 43
    {44, "Comprueba que está en Modo de Servicio y que el puerto es el adecuado."},  // slot 44
    {45,
     "¡ No hay respuesta del decodificador a la segunda fase del envio del Firmware !"},  // slot
                                                                                          // 45
    {46,
     "¡ No hay respuesta del decodificador a la verificación del envio del Firmware !"},  // slot
                                                                                          // 46
    {47, "Eeprom"},                     // page tab
    {48, "Firmware (Paralelo+Serie)"},  // page tab
    {49, "Acerca de..."},               // page tab
    {50, "Configuración"},              // page tab
    {51, "Terminal"},                   // page tab
    {52, "Recibir"},                    // page "Eeprom" › button
    {53, "Leer Archivo..."},            // page "Eeprom" › button
    {54, "Borrar"},                     // page "Eeprom" › button
    {55, "Verificar"},                  // page "Eeprom" › button
    {56, "Valores por Defecto"},        // page "Configuración" › button
    {58, "Enviar"},                     // page "Eeprom" › button
    {59, "Guardar como..."},            // page "Eeprom" › button
    {60, "Enviar"},                     // page "Firmware (Paralelo+Serie)" › button
    {61, "Envío con fase 1 y 2"},       // page "Firmware (Paralelo+Serie)" › check box
    {62, "Añadir checksum"},    // page "Configuración" › group " Terminal " › check box
    {63, "Ninguno"},            // "Control de Flujo : " list, entry 0
    {64, "Ninguna"},            // "Paridad : " list, entry 0
    {65, "Par"},                // "Paridad : " list, entry 1
    {66, "Impar"},              // "Paridad : " list, entry 2
    {67, "Marca"},              // "Paridad : " list, entry 3
    {68, "Espacio"},            // "Paridad : " list, entry 4
    {69, " Puerto Serie "},     // page "Configuración" › group
    {70, " Estado "},           // page "Eeprom" › group
    {71, " Puerto Paralelo "},  // page "Configuración" › group
    {72, " Comando "},          // page "Firmware (Paralelo+Serie)" › group
    {73, " Estado "},           // page "Firmware (Paralelo+Serie)" › group
    {74, " Idioma "},           // page "Configuración" › group
    {75, " Terminal "},         // page "Configuración" › group
    {76, "Tarea :"},            // page "Eeprom" › group " Estado " › label
    {77, "Velocidad : "},       // page "Configuración" › group " Puerto Serie " › label
    {78, "Bits de Datos : "},   // page "Configuración" › group " Puerto Serie " › label
    {79, "Dirección : "},       // page "Firmware (Paralelo+Serie)" › label
    {80, "Retardo Strobe : "},  // page "Configuración" › group " Puerto Paralelo " › label
    {81, "Dirección :"},        // page "Eeprom" › group " Estado " › label
    {82, "Tarea :"},            // page "Firmware (Paralelo+Serie)" › group " Estado " › label
    {83, "Dirección :"},        // page "Firmware (Paralelo+Serie)" › group " Estado " › label
    {84, "Errores :"},          // page "Firmware (Paralelo+Serie)" › group " Estado " › label
    {85, "Programa realizado gracias a las aportaciones de todas estas personas :"},   // page
                                                                                       // "Acerca
                                                                                       // de..."
                                                                                       // › label
    {86, "Las peticiones, informes de errores y modificaciones enviadmelas al foro"},  // page
                                                                                       // "Acerca
                                                                                       // de..." ›
                                                                                       // label
    {87, "Control de Flujo : "},  // page "Configuración" › group " Puerto Serie " › label
    {88, "Bits de Parada : "},    // page "Configuración" › group " Puerto Serie " › label
    {89, "Errores :"},            // page "Eeprom" › group " Estado " › label
    {90, "Idioma : "},            // page "Configuración" › group " Idioma " › label
    {91, "Intervalo de Entrada/Salida : "},  // page "Configuración" › group " Puerto Paralelo "
                                             // › label
    {92, "Retardo Negociación 1: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {93, "Paridad : "},               // page "Configuración" › group " Puerto Serie " › label
    {94, "Retardo Negociación 2: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {95, "Retardo Negociación 3: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {96, "Retardo Negociación 4: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {97, "Retardo Apertura 2: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {98, "Retardo Apertura 1: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {99, "Retardo Clausura 1: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {100, "Retardo Busy : "},      // page "Configuración" › group " Puerto Paralelo " › label
    {101, "Retardo Verificación : "},  // page "Configuración" › group " Puerto Paralelo " › label
    {102, "Retardo Comienzo Env. : "},  // page "Configuración" › group " Puerto Paralelo " › label
    {103, "Retardo entre bytes :"},  // page "Configuración" › group " Puerto Paralelo " › label
    {104, "Retardo Clausura 2: "},  // page "Configuración" › group " Puerto Paralelo " › label
    {105, "en foro.tornavo.example"},  // page "Acerca de..." › label: the forum line
    {106, "Puerto : "},                // page "Configuración" › group " Puerto Serie " › label
    {107, "DL (K2002)"},  // page "Firmware (Paralelo+Serie)" › group " Comando " › choice
    {108, "PL (K6003 o K7003)"},  // page "Firmware (Paralelo+Serie)" › group " Comando " › choice
    {109, "FL (K6003, K7003 o K2501)"},  // page "Firmware (Paralelo+Serie)" › group " Comando "
                                         // › choice
    {110, "Guardar como..."},            // log menu › menu item
    {111, "Borrar"},                     // log menu › menu item
    {112, "Copiar"},                     // log menu › menu item
    {113, "Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*"},  // slot 47
    {114, "Longitud : "},                                  // page "Firmware (JTag)" › label
    {115, "Código de la CPU"},                             // page "Firmware (JTag)" › button
    {116, "Reset DCU activado"},                           // slot 48
    {117, "Estado de la DCU : Run-Test/Idle"},             // slot 49
    {118, "Recibiendo datos..."},                          // slot 50
    {119, "Se ha producido un error en la dirección : "},  // slot 51
    {120, "¡ Firmware leído con éxito !"},                 // slot 52
    {121, "Reset DCU desactivado"},                        // slot 53
    {122, "Tipo de CPU : "},                               // slot 54
    {123,
     "¡Código de CPU erroneo!  Comprueba que el decodificador esté encendido y que el jtag "
     "esté bien construido."},  // slot 55
    {124,
     "¡Código de CPU desconocido!  Comprueba que el decodificador esté encendido y que el jtag "
     "esté bien construido."},     // slot 56
    {125, "Tabla canales FLASH"},  // page "Firmware (Paralelo+Serie)" › group " Usar " › choice
    {126, "Archivo"},              // page "Firmware (Paralelo+Serie)" › group " Usar " › choice
    {127, "Tabla canales RAM"},    // page "Firmware (JTag)" › group " Usar " › choice
    {128, "Sintonización"},        // page tab
    {129, "Mover a"},              // page "Sintonización" › button
    {130, "Editar"},               // page "Sintonización" › button
    {131, " Secciones Activas "},  // page "Sintonización" › group
    {132, " Usar "},               // page "Firmware (Paralelo+Serie)" › group
    {133, "Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs|Archivo RAM (BIN)|*.bin"},  // slot 121
    {134, "Canales (TCS) :"},   // page "Sintonización" › group " Secciones Activas " › label
    {135, "Transp. (TPT) :"},   // page "Sintonización" › group " Secciones Activas " › label
    {136, "Posición TCS :"},    // page "Configuración" › group " Sintonización " › label
    {137, "Posición TPT :"},    // page "Configuración" › group " Sintonización " › label
    {138, "Frec. LNB Bajo :"},  // page "Configuración" › group " Sintonización " › label
    {139, "Frec. LNB Alto :"},  // page "Configuración" › group " Sintonización " › label
    {140, "Symbol Rate :"},     // main window › label
    {141, "Nombre : "},         // slot 57
    {142, "Transpondedor : "},  // slot 58
    {143, "Video PID : "},      // slot 59
    {144, "Service ID : "},     // slot 60
    {145, "Video ECM : "},      // slot 61
    {146, "Audio PID : "},      // slot 62
    {147, "PCR PID : "},        // slot 63
    {148, "Audio ECM : "},      // slot 64
    {149, " Status : "},        // slot 65
    {150, "Activo"},            // slot 66
    {151, "Bloqueo Parental"},  // slot 67
    {152, "Favorito"},          // slot 68
    {153, "Canales en ese transpondedor : "},                              // slot 69
    {154, "Frecuencia : "},                                                // slot 70
    {155, "Polarización : "},                                              // slot 71
    {156, " Información del transpondedor : "},                            // slot 72
    {157, "Ok"},                                                           // slot 73
    {158, "Cancelar"},                                                     // slot 74
    {159, "Información del canal"},                                        // slot 75
    {160, "Información de los Transpondedores"},                           // slot 76
    {161, "Frecuencia del Transpondedor : "},                              // slot 77
    {162, "Frecuencia del Sintonizador : "},                               // slot 78
    {163, "Network ID : "},                                                // slot 79
    {164, "Transponder ID : "},                                            // slot 80
    {165, "FEC : "},                                                       // slot 81
    {166, "Polaridad : "},                                                 // slot 82
    {167, "22KHz : "},                                                     // slot 83
    {168, "Symbol Rate : "},                                               // slot 84
    {169, "Canales : "},                                                   // slot 85
    {170, "Canales en ese transpondedor : "},                              // slot 86
    {171, "Secciones activas"},                                            // slot 87
    {172, "Elige una de las siguientes secciones : "},                     // slot 88
    {173, "NOMBRE"},                                                       // slot 89
    {174, "TRSP"},                                                         // slot 90
    {175, "SID"},                                                          // slot 91
    {176, "VPID"},                                                         // slot 92
    {177, "APID"},                                                         // slot 93
    {178, "VECM"},                                                         // slot 94
    {179, "AECM"},                                                         // slot 95
    {180, "PCR"},                                                          // slot 96
    {181, "STA"},                                                          // slot 97
    {182, "Sección"},                                                      // slot 98
    {183, "Contenido"},                                                    // slot 99
    {184, "FREC"},                                                         // slot 100
    {185, "TRSP"},                                                         // slot 101
    {186, "NET"},                                                          // slot 102
    {187, "FEC"},                                                          // slot 103
    {188, "POL"},                                                          // slot 104
    {189, "SR"},                                                           // slot 105
    {190, "22KHz"},                                                        // slot 106
    {191, "CAN"},                                                          // slot 107
    {192, "¡ La dirección "},                                              // slot 108
    {193, " contiene un dato erroneo !"},                                  // slot 109
    {194, "¡ La lista de canales en memoria no tiene transpondedores !"},  // slot 110
    {195, "¡ No hay ninguna lista de canales cargada !"},                  // slot 111
    {196, "¡ No se ha encontrado ninguna tabla de transpondedores !"},     // slot 112
    {197, "¡ No se ha encontrado ninguna tabla de canales !"},             // slot 113
    {198,
     "La función de escritura en Flash a través del JTag todavía no está "
     "implementada."},                                                             // slot 114
    {199, "¡ Datos enviados con éxito !"},                                         // slot 115
    {200, "No se puede abrir el archivo porque otra aplicación lo está usando."},  // slot 116
    {201, "Encontrar..."},                            // page "Sintonización" › button
    {202, "¡ No hay ningún canal con ese nombre !"},  // slot 117
    {203, "Buscar canal"},                            // slot 118
    {204, "Nombre del canal : "},                     // slot 119
    {205, "Buscar"},                                  // slot 120
    {206, "Tabla de Canales"},                        // page "Sintonización" › page tab
    {207, "Tabla de Transpondedores"},                // page "Sintonización" › page tab
    {208,
     "Archivo Binario (BIN)|*.bin|Archivo RCU (RCU)|*.rcu|Archivo RCS (RCS)|*.rcs|Todos los "
     "archivos (*.*)|*.*"},        // slot 122
    {209, "SAT"},                  // slot 123
    {210, "BANDA"},                // slot 124
    {211, "Satélite :"},           // slot 125
    {212, "Frecuencia :"},         // page "Sintonización" › group " Transpondedor " › label
    {213, "Polaridad :"},          // page "Sintonización" › group " Transpondedor " › label
    {214, "FEC :"},                // page "Sintonización" › group " Transpondedor " › label
    {215, "Symbol Rate :"},        // page "Sintonización" › group " Transpondedor " › label
    {216, "Canales :"},            // page "Sintonización" › group " Transpondedor " › label
    {217, "Banda :"},              // slot 126
    {218, "Núm. Transp.:"},        // page "Sintonización" › group " Transpondedor " › label
    {219, " Transpondedor "},      // page "Sintonización" › group
    {220, "Nombre Satélite A :"},  // page "Configuración" › group " Sintonización " › label
    {221, "Nombre Satélite B :"},  // page "Configuración" › group " Sintonización " › label
    {222, " JTag "},               // page "Configuración" › group
    {223, "Duración TCK :"},       // page "Configuración" › group " JTag " › label
    {224, "ciclos"},               // page "Configuración" › group " Puerto Paralelo " › label
    {225, "ms"},                   // page "Configuración" › group " Puerto Paralelo " › label
    {226, "Archivo RAM (BIN)|*.bin|Todos los archivos (*.*)|*.*"},  // slot 127
    {227,
     "Archivo Binario (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs|Todos los archivos (*.*)|*.*"},  // slot
                                                                                          // 128
    {228, "Imagen"},                       // slot 129
    {229, "Imagen capturada"},             // page "Firmware (JTag)" › group " Usar " › choice
    {230, "Velocidad :"},                  // slot 130
    {231, "Tiempo rest.:"},                // slot 131
    {232, "Calidad de la imagen JPEG :"},  // slot 132
    {233, "Tamaño de la imagen capturada :"},  // slot 133
    {234, "Formato de la imagen :"},           // slot 134
    {235, "No cambiar el formato"},            // slot 135
    {236, "b/s"},                              // slot 136
    {237, "seg"},                              // slot 137
    {238, "Kb/seg"},                           // slot 138
    {239, "Copiar"},                           // page "Sintonización" › button
    {240, "Pegar"},                            // page "Sintonización" › button
    {241, "Número de canales :"},  // page "Configuración" › group " Sintonización " › label
    {242, "Número de transp. :"},  // page "Configuración" › group " Sintonización " › label
    {243, "Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs"},  // slot 139
    {244, "Añadir archivo..."},                                 // page "Sintonización" › button
    {245, " Longitud "},                                        // page "Eeprom" › group
    {246, "Toda la Eeprom"},                   // page "Eeprom" › group " Longitud " › choice
    {247, "0x000 -> 0x0AF"},                   // page "Eeprom" › group " Longitud " › choice
    {248, "Fila Seleccionada"},                // page "Eeprom" › group " Longitud " › choice
    {249, "Dirección Trap :"},                 // page "Configuración" › group " JTag " › label
    {250, "Dirección Inicial de la Flash :"},  // page "Configuración" › group " JTag " › group
                                               // " Integrado con Sofware Interactivo " › label
    {251, "Tipo de Flash :"},  // page "Configuración" › group " JTag " › group " Integrado con
                               // Sofware Interactivo " › label
    {252, "Verificar escritura en Flash"},  // page "Configuración" › group " JTag " › check box
    {253, "Forzar escritura en todos los bloques"},  // page "Configuración" › group " JTag " ›
                                                     // check box
    {254, "Comprobar LPT"},                          // page "Firmware (Paralelo+Serie)" › button
    {255, "Comprobando la dirección : "},            // slot 140
    {256, "Los datos en la flash son identicos. Saltamos al siguiente bloque..."},  // slot 141
    {257, "Verificando la dirección : "},                                           // slot 142
    {258, "Error en la verificación."},                                             // slot 143
    {259, "Error en el envio por Jtag."},                                           // slot 144
    {260, "Comprueba que el Interfaz Jtag esté bien construido"},                   // slot 145
    {261, "y que las direcciones Trap y destino son las correctas."},               // slot 146
    {262, "La direccion especificada no está dentro del integrado de Flash."},      // slot 147
    {263, "Se produjo un error en el inicio de la rutina Trap. Comprueba que :"},   // slot 148
    {264, "1.- La dirección Trap y destino son las correctas."},                    // slot 149
    {265, "2.- El archivo trap.bin está en el directorio de Tornavo."},             // slot 150
    {266, "3.- El interfaz Jtag está bien construido."},                            // slot 151
    {267, "Borrando bloque : "},                                                    // slot 152
    {268, "Enviando datos a la dirección : "},                                      // slot 153
    {269, "Personalizado"},                                                         // slot 154
    {270, "Cortar"},                             // page "Sintonización" › button
    {271, "Modelo y placa de decodificador :"},  // page "Configuración" › group " JTag " › label
    {272, " Integrado con Sofware Interactivo "},  // page "Configuración" › group " JTag " › group
    {273, " Integrado con Lista de Canales "},  // page "Configuración" › group " JTag " › group
    {274, "Añadir checksum al firmware"},  // page "Configuración" › group " JTag " › check box
    {275, "No se ha encontrado el fichero trap.bin"},       // slot 155
    {276, "Fallo en la inicialización de la rutina Trap"},  // slot 156
    {277, "Bits WaitStart :"},       // page "Configuración" › group " JTag " › label
    {278, "Desconocido"},            // slot 157
    {279, "Encriptación :"},         // slot 158
    {280, "No cambiar"},             // slot 159
    {281, "Editor Hexadecimal"},     // page "Eeprom" › page tab
    {282, "Datos Interpretados"},    // page "Eeprom" › page tab
    {283, "Satélite 1"},             // page "Eeprom" › page "Datos Interpretados" › group
    {284, "Satélite 2"},             // page "Eeprom" › page "Datos Interpretados" › group
    {285, "Nombre del satélite :"},  // page "Eeprom" › page "Datos Interpretados" › group
                                     // "Satélite 1" › label
    {286, "Número de antena :"},     // page "Eeprom" › page "Datos Interpretados" › group
                                     // "Satélite 1" › label
    {287,
     "Frec. LNB :"},  // page "Eeprom" › page "Datos Interpretados" › group "Satélite 1" › label
    {288, "Pais :"},                  // page "Eeprom" › page "Datos Interpretados" › label
    {289, "Provider ID :"},           // page "Eeprom" › page "Datos Interpretados" › label
    {290, "Versión del Software :"},  // page "Eeprom" › page "Datos Interpretados" › label
    {291, "Provider ID para ordenar canales :"},  // page "Eeprom" › page "Datos Interpretados"
                                                  // › label
    {292, "Idioma del audio primario :"},  // page "Eeprom" › page "Datos Interpretados" › label
    {293, "Idioma del audio secundario :"},  // page "Eeprom" › page "Datos Interpretados" › label
    {294, "Idioma de subtítulos :"},  // page "Eeprom" › page "Datos Interpretados" › label
    {295, "Último canal visto :"},    // page "Eeprom" › page "Datos Interpretados" › label
    {296, "Secciones activas :"},     // page "Eeprom" › page "Datos Interpretados" › label
    {297, "Luminosidad :"},           // page "Eeprom" › page "Datos Interpretados" › label
    {298, "Sistema de color :"},      // page "Eeprom" › page "Datos Interpretados" › label
    {299, "Modo de arranque del decodificador :"},  // page "Eeprom" › page "Datos
                                                    // Interpretados" › label
    {300, "Diseqc :"},           // page "Eeprom" › page "Datos Interpretados" › label
    {301, "Código del pais :"},  // page "Eeprom" › page "Datos Interpretados" › label
    {302, "Número de serie del decodificador :"},  // page "Eeprom" › page "Datos Interpretados"
                                                   // › label
    {303, "EPG :"},                // page "Eeprom" › page "Datos Interpretados" › label
    {304, "otro"},                 // slot 160
    {305, "0 y 1 (BCT14xx)"},      // "Secciones activas :" list, entry 0
    {306, "0 y 2 (BCT14xx)"},      // "Secciones activas :" list, entry 1
    {307, "1 y 2 (BCT14xx)"},      // "Secciones activas :" list, entry 2
    {308, "Baja"},                 // "Luminosidad :" list, entry 0
    {309, "Media Baja"},           // "Luminosidad :" list, entry 1
    {310, "Media Alta"},           // "Luminosidad :" list, entry 2
    {311, "Alta"},                 // "Luminosidad :" list, entry 3
    {312, "Stand-By"},             // "Modo de arranque del decodificador :" list, entry 0
    {313, "Encendido"},            // "Modo de arranque del decodificador :" list, entry 1
    {314, "Español"},              // "EPG :" list, entry 0
    {315, "Francés"},              // "EPG :" list, entry 1
    {316, "Holandés"},             // "EPG :" list, entry 2
    {317, "Italiano"},             // "EPG :" list, entry 3
    {318, "Polaco"},               // "EPG :" list, entry 4
    {319, "Todos"},                // "EPG :" list, entry 5
    {320, "Mínimo"},               // "EPG :" list, entry 6
    {321, "Ninguno"},              // "EPG :" list, entry 7
    {322, "Borrar Chip"},          // page "Firmware (JTag)" › button
    {323, " Método de borrado "},  // page "Firmware (JTag)" › group
    {324, "Por bloques"},  // page "Firmware (JTag)" › group " Método de borrado " › choice
    {325, "Con un solo comando"},  // page "Firmware (JTag)" › group " Método de borrado " › choice
    {328, "Borrando chip : "},                                                          // slot 161
    {329, "Leyendo la eeprom..."},                                                      // slot 162
    {330, "Escribiendo en la eeprom..."},                                               // slot 163
    {331, "¡ A T E N C I Ó N !"},                                                       // slot 164
    {332, "¡ Borrar todo un integrado puede destruir el decodificador !"},              // slot 165
    {333, "Tornavo NO NECESITA BORRAR TODO EL INTEGRADO antes de enviar el firmware"},  // slot 166
    {334, "Si no estás absolutamente seguro de lo que haces, pulsa CANCEL."},           // slot 167
    {335, "Se produjo un error borrando el bloque :"},                                  // slot 168
    {336, "Se produjo un error borrando el chip."},                                     // slot 169
    {337, "¡ La dirección inicial es erronea !"},                                       // slot 170
    {338, "¡ Se produjo un error escribiendo en la eeprom !"},                          // slot 171
    {339, "Archivo Eeprom (BIN)|*.bin|Todos los archivos (*.*)|*.*"},                   // slot 172
    {340, "¡ Se produjo un error leyendo la eeprom !"},                                 // slot 173
    {341, "¡ Dirección o longitud incorrecta !"},                                       // slot 174
    {342, "¡ Dirección incorrecta !"},                                                  // slot 175
    {343, "Esperando la conclusión de la escritura..."},                                // slot 176
    {344,
     "No se pudo enviar la rutina trap porque la dirección trap está siendo "
     "utilizada."},  // slot 177
    {345,
     "Se produjo un error leyendo el registro de estado de la DCU. Verifica que el Jtag está "
     "bien construido."},                // slot 178
    {346, "¡ Verificación correcta !"},  // slot 179
    {347, "1 y 2 (BCT15xx)"},            // "Secciones activas :" list, entry 3
    {348, "1 y 3 (BCT15xx)"},            // "Secciones activas :" list, entry 4
    {349, "2 y 3 (BCT15xx)"},       // "Secciones activas :" list, entry 5    // Texts added after
                                    // the catalogue's own: captions, then messages.
    {350, "Acceso : "},             // page "Configuración" › group " Puerto Paralelo " › label
    {351, "E/S directa"},           // "Acceso : " list, direct I/O entry
    {352, "Virtual"},               // "Acceso : " list, virtual receiver entry
    {353, " Status "},              // page "Sintonización" › group
    {354, "Diseño y desarrollo"},   // page "Acerca de..." › contributors, heading
    {355, "El equipo de Tornavo"},  // page "Acerca de..." › contributors
    {356, "Pruebas en decodificadores"},         // page "Acerca de..." › contributors, heading
    {357, "Técnicos del taller de servicio"},    // page "Acerca de..." › contributors
    {358, "Traducciones"},                       // page "Acerca de..." › contributors, heading
    {359, "La comunidad de usuarios"},           // page "Acerca de..." › contributors
    {360, "Informes de errores"},                // page "Acerca de..." › contributors, heading
    {361, "Todos los que escribieron al foro"},  // page "Acerca de..." › contributors
    {362, "El archivo %1 no define las filas %2."},  // question before "Enviar" of rows a
                                                     // loaded file lacks
    {363,
     "Se enviarán tal como están en el editor. ¿Enviar de todos modos?"},  // question before
                                                                           // "Enviar" of rows a
                                                                           // loaded file lacks
    {364, "Destino : %1, de %2 a %3, por el puerto %4."},  // the target a write or erase
                                                           // question names
    {365,
     "Solo se puede borrar un integrado desde su dirección inicial: %1 (Sofware Interactivo) o "
     "%2 (Lista de Canales)."},                       // "Borrar Chip" at another address
    {366, "No se ha elegido ningún tipo de Flash."},  // flash type file message
    {367, "No se encuentra el archivo de tipo de Flash \"%1\"."},  // flash type file message
    {368,
     "El archivo de tipo de Flash \"%1\" no es válido: NumBlocks=%2 está fuera de 1 a "
     "%3."},  // flash type file message
    {369,
     "El archivo de tipo de Flash \"%1\" no es válido: block%2 no es mayor que block%3."},  // flash
                                                                                            // type
                                                                                            // file
                                                                                            // message
    {370, "La tabla de bloques del integrado de Flash en %1 no es válida."},  // flash chip message
    {371, "El integrado de Flash en %1 pasa de la dirección FFFFFFFF."},      // flash chip message
    {372, "No se puede convertir «%1» : %2, fila %3, columna %4."},  // channel list message
    {373, "La posición %1 queda fuera de la imagen."},               // channel list message
    {374,
     "Las tablas de canales y de transpondedores no pueden estar en el mismo bloque."},  // channel
                                                                                         // list
                                                                                         // message
    {375, "%1 no existe"},                                           // serial port diagnosis
    {376, "comprueba el cable y que el adaptador esté conectado"},   // serial port diagnosis,
                                                                     // what to do
    {377, "%1 es tuyo pero su modo %2 no permite leer y escribir"},  // serial port diagnosis
    {378,
     "%1 pertenece a tu grupo %2 pero su modo %3 no da al grupo permiso de lectura y "
     "escritura"},  // serial port diagnosis
    {379,
     "pide al administrador una regla de udev que dé al grupo permiso de lectura y "
     "escritura"},                                // serial port diagnosis, what to do
    {380, "solo root puede abrir %1 (modo %2)"},  // serial port diagnosis
    {381,
     "ejecuta el programa como root, o haz que una regla de udev dé al dispositivo un grupo al "
     "que pertenezcas"},  // serial port diagnosis, what to do
    {382,
     "%1 pertenece al grupo %2; te añadieron a él después de empezar esta sesión"},  // serial
                                                                                     // port
                                                                                     // diagnosis
    {383,
     "cierra la sesión y vuelve a entrar (o ejecuta 'newgrp %1' en este terminal)"},  // serial
                                                                                      // port
                                                                                      // diagnosis,
                                                                                      // what to
                                                                                      // do
    {384, "%1 pertenece al grupo %2 y no eres miembro"},  // serial port diagnosis
    {385,
     "añádete al grupo %1 y vuelve a entrar en la sesión (sudo adduser %2 %1)"},  // serial port
                                                                                  // diagnosis,
                                                                                  // what to do
    {386, "El archivo parece un %1."},  // a refused load, the type the file looks like
    {387, "«%1» de la página «%2»"},    // a file type and the page that reads it
    {388, "No se ha guardado nada: %1 se solapa con %2."},         // channel list save refused
    {389, "No se ha guardado nada: %1 se sale de su bloque %2."},  // channel list save refused
    {390,
     "No se ha guardado nada: %1 tiene registros en uso más allá del final de la imagen "
     "%2."},                                      // channel list save refused
    {391, "el borrado de una %1 anterior (%2)"},  // channel list save refused, a wipe of an
                                                  // older table
    {392,
     "No se ha pegado nada: la fila %1 de la %2 está en uso y quedaría fuera de la "
     "tabla."},                            // channel list paste refused
    {393, "Bloques no escritos :"},        // JTAG flash send, blocks left unwritten
    {394, "Reintentando el bloque : %1"},  // JTAG flash send, a retry
    {395, "falló el borrado"},             // JTAG flash send, why a block was not written
    {396, "falló la programación"},        // JTAG flash send, why a block was not written
    {397, "falló la verificación"},        // JTAG flash send, why a block was not written
    {398, "%1 (falta)"},  // page "Configuración", a stored parallel device that is gone
    {399, "Ninguna fila diferente."},                       // EEPROM verify, its verdict
    {400, "1 fila diferente: %1"},                          // EEPROM verify, its verdict
    {401, "%1 filas diferentes: %2"},                       // EEPROM verify, its verdict
    {402, "Filas que se escribirán : %1"},                  // question before EEPROM "Enviar"
    {403, "¿Escribirlas en la Eeprom del decodificador?"},  // question before EEPROM "Enviar"
    {404,
     "No volver a preguntar antes de enviar"},  // question before EEPROM "Enviar", its check box
    {405, "Sin guardar : %1"},                  // window title, the pages holding unsaved edits
    {406, "Los cambios de «%1» no se han guardado en ningún archivo."},  // question before edits
                                                                         // would be lost
    {407, "Filas cambiadas : %1"},          // question before edits would be lost, EEPROM rows
    {408, "¿Guardarlos antes de seguir?"},  // question before edits would be lost
    {409, "%1 (cerrado)"},                  // page "Terminal", a port that is not open
    {410, "ninguno"},                       // page "Terminal", no port chosen
    {411, "Copia de seguridad antes de cada escritura"},  // page "Configuración", check box
    {412, "Copia de seguridad : %1"},                     // log, the file a backup went to
    {413,
     "No se pudo guardar la copia de seguridad (%1). No se ha escrito nada."},  // a backup that
                                                                                // failed stops the
                                                                                // write
    {414, "Leyendo la Eeprom para la copia de seguridad"},  // EEPROM "Enviar", the backup read
    {415, "Sin copia de seguridad (desactivada)"},   // log, a write with backups switched off
    {416, "Filas diferentes que se enviarán : %1"},  // EEPROM "Enviar" after the backup
    {417,
     "Leer el chip antes de borrarlo y guardar una copia (unos %1 s)"},  // "Borrar Chip" question,
                                                                         // its check box
    {418, "Leyendo el chip para la copia de seguridad"},  // "Borrar Chip", the backup read
    {419,
     "La Eeprom del decodificador ya contiene estos datos: no se envía ninguna fila."},  // EEPROM
                                                                                         // "Enviar",
                                                                                         // nothing
                                                                                         // differs
    {420,
     "No se pudo leer la copia de seguridad. No se ha escrito nada."},  // a backup read that failed
                                                                        // stops the write
    {421, "Copia"},  // EEPROM status panel, task of the backup read before "Enviar"
    {422, "Sin copia de seguridad : no se conoce el tamaño del integrado"},  // "Borrar Chip" with a
                                                                             // chip description
                                                                             // that gives no size
    {423, "%1 lo tiene abierto %2 (proceso %3)"},      // serial port diagnosis, another program
    {424, "cierra ese programa o elige otro puerto"},  // serial port diagnosis, its remedy
};

// Message slot -> key number; -1 where no key fills the slot.
constexpr int kSlotKeys[kSlotCount] = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,    // 0
    10,  11,  12,  13,  14,  15,  16,  -1,  -1,  19,   // 10
    20,  21,  22,  23,  24,  25,  26,  27,  28,  29,   // 20
    30,  31,  32,  33,  34,  35,  36,  37,  38,  39,   // 30
    40,  41,  42,  43,  44,  45,  46,  113, 116, 117,  // 40
    118, 119, 120, 121, 122, 123, 124, 141, 142, 143,  // 50
    144, 145, 146, 147, 148, 149, 150, 151, 152, 153,  // 60
    154, 155, 156, 157, 158, 159, 160, 161, 162, 163,  // 70
    164, 165, 166, 167, 168, 169, 170, 171, 172, 173,  // 80
    174, 175, 176, 177, 178, 179, 180, 181, 182, 183,  // 90
    184, 185, 186, 187, 188, 189, 190, 191, 192, 193,  // 100
    194, 195, 196, 197, 198, 199, 200, 202, 203, 204,  // 110
    205, 133, 208, 209, 210, 211, 217, 226, 227, 228,  // 120
    230, 231, 232, 233, 234, 235, 236, 237, 238, 243,  // 130
    255, 256, 257, 258, 259, 260, 261, 262, 263, 264,  // 140
    265, 266, 267, 268, 269, 275, 276, 278, 279, 280,  // 150
    304, 328, 329, 330, 331, 332, 333, 334, 335, 336,  // 160
    337, 338, 339, 340, 341, 342, 343, 344, 345, 346,  // 170
    -1,  -1,  -1,  -1,  -1,  -1,  -1,  -1,  -1,  -1,   // 180
    -1,  -1,  -1,  -1,  -1,  -1,  -1,  -1,  -1,  -1,   // 190
    -1,                                                // 200
};

}  // namespace

std::span<const TextDefault> DefaultTexts() { return kDefaults; }

int SlotKey(int slot) { return slot >= 0 && slot < kSlotCount ? kSlotKeys[slot] : -1; }

}  // namespace tornavo
