function MakeArray(n){
this.length = n;
for (var i = 1; i <= n; i++){
this [i] = 0 }
return this }
function item(itemid, itemdesc, itemprice, itemquantity, itempic, itemurl) {
this.itemid = itemid
this.itemdesc = itemdesc
this.itemprice = itemprice
this.itemquantity = itemquantity
this.itempic = itempic
this.itemurl = itemurl }
List = new MakeArray( 12)
List[ 1] = new item("A100","Red apple",1.25,0,"img/a.gif","a.htm" )
List[ 2] = new item("B200","Banana \"Cavendish\"",0.5,0,"img/b.gif","b.htm" )
List[ 3] = new item("C300","Crate C:\\fruit\\big",3,0,"img/c.gif","c.htm" )
List[ 4] = new item("D400","Dates",12.00,0,"img/d.gif","d.htm" )
List[ 5] = new item("E500","Elderberries",.75,0,"img/e.gif","e.htm" )
List[ 6] = new item("F600","Figs",2.,0,"img/f.gif","f.htm" )
List[ 7] = new item("G700","Grapes",4.10,0,"img/g.gif","g.htm" )
List[ 8] = new item("H800","Honeydew melon",5,0,"img/h.gif","h.htm" )
List[ 9] = new item("I900","Ice plums",6.99,0,"img/i.gif","i.htm" )
List[ 10] = new item("J010","Juniper",0.05,0,"img/j.gif","j.htm" )
List[ 11] = new item("K020","Kiwi",1,0,"img/k.gif","k.htm" )
List[ 12] = new item("L030","Lemons",2.20,0,"img/l.gif","l.htm" )
function AddToBasket(nSelectedItem, nQuantityOrdered) {
top.List [nSelectedItem].itemquantity = nQuantityOrdered }
function isNum(str) {
for (var i = 0; i < str.length; i++) {
var ch = str.substring(i, i + 1)
if ((ch <"0" ||"9" < ch) && ch != '.') {
alert ('You must enter a number.')
return false } }
return true }
function moneyFormat(input) {
var cents = Math.round(input * 100)
var dollars = Math.floor(cents / 100)
cents = "" + (100 + cents % 100)
cents = cents.substring(1, 3)
input = dollars + "." + cents
return input }
function OnOrderItem(n) {
var nQuantityOrdered = document.forms[(n*2)-2].quantity.value
  document.forms [(n*2)-2].quantity.value = 0
AddToBasket(n, nQuantityOrdered) }
function DisplayItem(item, n) {document.write ("<TR VALIGN='top'>")
document.write ("<TD><font size='2' face='Verdana' class='std'><a href='"+ item.itemurl +"'><img src='" + item.itempic + "'</a></TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'>" + item.itemid + " </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'><a href='" + item.itemurl + "'>" + item.itemdesc + "</a></TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'>" + moneyFormat(item.itemprice) + " </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'><FORM><INPUT TYPE='text' NAME='quantity'  VALUE='0' SIZE=5></FORM></TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'><FORM><INPUT TYPE='button' VALUE='Order' onClick='OnOrderItem(" + n + ")'></FORM></TD>")
document.write ("</TR>") }
function DisplayList() {
document.write("<table cellpadding='2' cellspacing='1' width='100%' border='1' bordercolor='#000000' bordercolorlight='#000000' bgcolor='#e3e3e3'>")
document.write("<TR><TH COLSPAN=6><font size='2' face='Verdana' class='std'><b> My Shop  Listing</b></TH></TR>")
document.write ("<TR>")
document.write ("<TD><font size='2' face='Verdana' class='std'> Item Picture </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'> Item ID </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'> Description </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'> Price </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'> Quantity </TD>")
document.write ("<TD><font size='2' face='Verdana' class='std'> Order </TD>")
for (var n =1; n <= List.length; n++){
DisplayItem(List[n], n) }
document.write ("</TABLE>") }
